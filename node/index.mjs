// The ESM entry point: the CommonJS package's exports under their names.
import { createRequire } from 'node:module';

const quorix = createRequire(import.meta.url)('./index.js');

export const {
  Parser,
  ParseError,
  parse,
  tryParse,
  parseMany,
  statusMessage,
  FIELD_NAMES,
  EXTRA_NAMES,
  REPAIR_NAMES,
  LIBRARY_VERSION,
} = quorix;
export default quorix;
