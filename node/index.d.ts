// Types of the Node.js package quorix-parser.

/** The fields a document yields, under the README's names; a field it does not yield is left out. */
export interface Fields {
  firstName?: string;
  lastName?: string;
  documentType?: string;
  countryCode?: string;
  country?: string;
  jurisdictionCode?: string;
  iin?: string;
  middleName?: string;
  nameSuffix?: string;
  namePrefix?: string;
  fullName?: string;
  address1?: string;
  address2?: string;
  city?: string;
  licenseNumber?: string;
  classificationCode?: string;
  restrictionCode?: string;
  restrictionCodeDescription?: string;
  endorsementsCode?: string;
  endorsementCodeDescription?: string;
  expirationDate?: string;
  HAZMATExpDate?: string;
  birthdate?: string;
  cardRevisionDate?: string;
  gender?: string;
  issueDate?: string;
  issuedBy?: string;
  postalCode?: string;
  eyeColor?: string;
  race?: string;
  hairColor?: string;
  height?: string;
  weightKG?: string;
  weightLBS?: string;
  complianceType?: string;
  isLimitedDurationDocument?: boolean;
  isOrganDonor?: boolean;
  isVeteran?: boolean;
  vehicleClassCode?: string;
  vehicleClassCodeDescription?: string;
}

export interface Decoder {
  /** 0 AAMVA barcode, 1 magnetic stripe, 2 fixed-position card, 3 Common Access Card, 4 national identity card. */
  group: number;
  id: number;
  /** The edition or layout the document follows, e.g. "AAMVA DL/ID 2014"; null when the decoder names none. */
  standard: string | null;
}

/** A parse's result: a plain object. */
export interface Result extends Fields {
  decoder: Decoder;
  /** The repairs the parse relied on, e.g. ["separators restored"]; empty for a clean read. */
  repairs: string[];
  /** Values beyond the fields ("documentDiscriminator", "under21Until", ...) the document carries. */
  extras: Record<string, string>;
}

export type StatusCode =
  | 'NO_INPUT' | 'NO_SLOT' | 'EMPTY_INPUT' | 'OUTPUT_TOO_SMALL' | 'BAD_ARGUMENT' | 'NO_ARENA' | 'NO_DECODER'
  | 'NO_VALUE' | 'HOST_ERROR' | 'NO_BARCODE' | 'INPUT_TOO_LARGE' | 'DECODER_FAILED';

export interface Rejected {
  /** The library's negative status, -25 when no decoder accepted the text. */
  status: number;
  code: StatusCode;
  message: string;
}

export type Outcome = (Result & { status: 0 }) | Rejected;

/** A Buffer (or Uint8Array), or a string whose characters U+0000 to U+00FF are the bytes. */
export type Input = Uint8Array | string;

export class ParseError extends Error {
  readonly status: number;
  readonly code: StatusCode;
}

export interface ParserOptions {
  /** Parse on this fixed local date and time instead of the clock. */
  now?: Date;
}

/** A parser with a native handle of its own. */
export class Parser {
  constructor(options?: ParserOptions);
  /** @throws ParseError for a rejected text, TypeError for a string with a character above U+00FF. */
  parse(input: Input): Result;
  tryParse(input: Input): Outcome;
  /** On that day (today when omitted); false without a readable expiry date. */
  isExpired(result: Result, on?: Date): boolean;
  /** Full years on that day; undefined without a readable birth date or for a day before it. */
  ageOn(result: Result, on?: Date): number | undefined;
  isAtLeast(result: Result, years: number, on?: Date): boolean;
}

export function parse(input: Input): Result;
export function tryParse(input: Input): Outcome;

export interface ParseManyOptions {
  /** Native threads to parse on, 1 by default. */
  threads?: number;
  now?: Date;
}

/** The results in input order, parsed off the event loop. */
export function parseMany(inputs: Iterable<Input>, options?: ParseManyOptions): Promise<Outcome[]>;

export function statusMessage(status: number): string;
export const FIELD_NAMES: readonly (keyof Fields)[];
export const EXTRA_NAMES: readonly string[];
export const REPAIR_NAMES: readonly string[];
/** "v.1.3.0" */
export const LIBRARY_VERSION: string;
