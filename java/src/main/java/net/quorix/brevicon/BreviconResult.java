package net.quorix.brevicon;

import java.io.Serializable;
import java.time.DateTimeException;
import java.time.LocalDate;
import java.util.Arrays;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Objects;
import java.util.Optional;
import java.util.OptionalInt;
import java.util.Set;

/**
 * The fields derived from one document. The native binding writes them by name, so names and types are a contract:
 * a text field the document does not yield stays null, and an indicator it does not carry stays {@link #ABSENT}.
 * Dates read MM/DD/YYYY; indicators are 1 for yes and 0 for no.
 *
 * <p>A result made by {@link Brevicon#parse(byte[])}, {@link Brevicon#parse(java.nio.ByteBuffer, int)} or {@link
 * Brevicon#tryParse(byte[])} also says which decoder read the document ({@link #decoderId()}, {@link #standard()}),
 * which repairs the text needed ({@link #repairs()}) and the values read beyond the fields ({@link #extras()}). Its
 * age and expiry checks follow the native library's rules, the same the command-line tool prints. Results are
 * values: {@link #equals} compares every field, and they can be serialised.
 */
public final class BreviconResult implements Serializable {
  private static final long serialVersionUID = 1L;

  /** Value of an indicator that the document does not carry. */
  public static final int ABSENT = -1;

  /** Value of {@link #decoderId()} and {@link #decoderGroup()} for a result no successful parse filled. */
  public static final int NO_DECODER = -1;

  /** The fields {@link #toString()} masks: they name or locate the holder. */
  private static final Set<String> PERSONAL =
      Set.of(
          "firstName", "lastName", "middleName", "nameSuffix", "namePrefix", "fullName", "address1", "address2",
          "city", "postalCode", "licenseNumber", "birthdate");

  private static final Set<String> DATE_FIELDS =
      Set.of("expirationDate", "HAZMATExpDate", "birthdate", "cardRevisionDate", "issueDate");

  /** The holder's first name. */
  public String firstName;
  /** The holder's last (family) name. */
  public String lastName;
  /** "DL" or "ID" for licences and ID cards. */
  public String documentType;
  /** ISO 3166 alpha-3 code of the issuing country, e.g. "USA". */
  public String countryCode;
  /** Name of the issuing country or jurisdiction group, e.g. "United States", "Canada". */
  public String country;
  /** Two-letter code of the issuing state, province or territory. */
  public String jurisdictionCode;
  /** Six-digit issuer identification number. */
  public String iin;
  /** The holder's middle name or names. */
  public String middleName;
  /** Name suffix, e.g. "JR". */
  public String nameSuffix;
  /** Name prefix, e.g. "DR". */
  public String namePrefix;
  /** The name as printed, or first, middle, last name and suffix joined. */
  public String fullName;
  /** First address line. */
  public String address1;
  /** Second address line. */
  public String address2;
  /** City of the address. */
  public String city;
  /** Document number, with the issuer's corrections applied. */
  public String licenseNumber;
  /** Vehicle class; the same text as {@link #vehicleClassCode}. */
  public String classificationCode;
  /** Restriction codes as printed. */
  public String restrictionCode;
  /** What the restriction codes mean. */
  public String restrictionCodeDescription;
  /** Endorsement codes as printed. */
  public String endorsementsCode;
  /** What the endorsement codes mean. */
  public String endorsementCodeDescription;
  /** Expiry date, MM/DD/YYYY. */
  public String expirationDate;
  /** Expiry date of the hazardous materials endorsement, MM/DD/YYYY. */
  public String HAZMATExpDate;
  /** Date of birth, MM/DD/YYYY. */
  public String birthdate;
  /** Revision date of the card design, MM/DD/YYYY. */
  public String cardRevisionDate;
  /** "Male" or "Female". */
  public String gender;
  /** Issue date, MM/DD/YYYY. */
  public String issueDate;
  /** Jurisdiction code that the issuer identification number belongs to. */
  public String issuedBy;
  /** Postal code of the address. */
  public String postalCode;
  /** Eye colour in words, e.g. "Brown". */
  public String eyeColor;
  /** Race or ethnicity code as printed. */
  public String race;
  /** Hair colour in words, e.g. "Grey". */
  public String hairColor;
  /** Height as printed, or 5'10" from feet and inches, or 178cm. */
  public String height;
  /** Weight in kilograms, converted when only pounds are printed. */
  public String weightKG;
  /** Weight in pounds, converted when only kilograms are printed. */
  public String weightLBS;
  /** One-character compliance type, e.g. "F". */
  public String complianceType;
  /** 1 for a limited-duration document, 0 for not, {@link #ABSENT} when not carried. */
  public int isLimitedDurationDocument = ABSENT;
  /** 1 for an organ donor, 0 for not, {@link #ABSENT} when not carried. */
  public int isOrganDonor = ABSENT;
  /** 1 for a veteran, 0 for not, {@link #ABSENT} when not carried. */
  public int isVeteran = ABSENT;
  /** Vehicle class codes as printed. */
  public String vehicleClassCode;
  /** What the vehicle class codes mean. */
  public String vehicleClassCodeDescription;

  private int status;
  private int decoderGroup = NO_DECODER;
  private int decoderId = NO_DECODER;
  private String standard;
  private Set<String> repairs = Set.of();
  private Map<String, String> extras = Map.of();
  private String symbolFormat;
  private int[] symbolPosition; // null for a result parsed from text, as in results serialised before pictures

  /** A result with every text field null and every indicator {@link #ABSENT}; a parse fills it in. */
  public BreviconResult() {}

  static BreviconResult failed(int status) {
    BreviconResult result = new BreviconResult();
    result.status = status;
    return result;
  }

  void setDecoder(int group, int id, String standard, Set<String> repairs, Map<String, String> extras) {
    this.decoderGroup = group;
    this.decoderId = id;
    this.standard = standard;
    this.repairs = repairs;
    this.extras = extras;
  }

  void setSymbol(String format, int[] position) {
    this.symbolFormat = format;
    this.symbolPosition = position.clone();
  }

  /**
   * The status of the parse that made this result: 0, or the negative status of a failed {@link
   * Brevicon#tryParse(byte[])}, in which case no field is set.
   *
   * @return 0 or a negative status, as {@link BreviconException#getStatus()}
   */
  public int status() {
    return status;
  }

  /**
   * Which decoder read the document: its number in the registry, 0 to 55.
   *
   * @return the decoder's number, or {@link #NO_DECODER}
   */
  public int decoderId() {
    return decoderId;
  }

  /**
   * Which family of decoders read the document: 0 AAMVA barcode, 1 magnetic stripe, 2 fixed-position card record, 3
   * Common Access Card, 4 national identity card.
   *
   * @return the family, or {@link #NO_DECODER}
   */
  public int decoderGroup() {
    return decoderGroup;
  }

  /**
   * The edition or layout the decoder read, for example "AAMVA DL/ID 2014".
   *
   * @return the text, or null when the decoder names none
   */
  public String standard() {
    return standard;
  }

  /**
   * The repairs the text needed before it could be read, for example "separators restored", in the library's fixed
   * order; empty for a clean read. The list of names may grow in later versions.
   *
   * @return an unmodifiable set
   */
  public Set<String> repairs() {
    return repairs;
  }

  /**
   * Values read beyond the fields, filled where the document carries them: "documentDiscriminator",
   * "under18Until", "under19Until", "under21Until" (MM/DD/YYYY), "cacEdipi" (the Common Access Card's electronic
   * data interchange person identifier), "aliasFullName", "aliasFamilyName", "aliasGivenName", "aliasMiddleName",
   * "aliasSuffix", "aliasPrefix", and the name truncation indicators "familyNameTruncation", "firstNameTruncation",
   * "middleNameTruncation" (T, N or U).
   *
   * @return an unmodifiable map in that order
   */
  public Map<String, String> extras() {
    return extras;
  }

  /**
   * The kind of symbol a result of {@link Brevicon#parseImage} was read from: "PDF417", "Code128" or "QRCode".
   *
   * @return the symbol's kind, or null for a result parsed from text
   */
  public String symbolFormat() {
    return symbolFormat;
  }

  /**
   * Where that symbol lies in the picture: its four corners clockwise from its top left as encoded, x0, y0 to x3, y3
   * in pixels.
   *
   * @return a new array of 8 values, or an empty one for a result parsed from text
   */
  public int[] symbolPosition() {
    return symbolPosition == null ? new int[0] : symbolPosition.clone();
  }

  /**
   * One of the five date fields as a date.
   *
   * @param field "expirationDate", "HAZMATExpDate", "birthdate", "cardRevisionDate" or "issueDate"
   * @return the date, or empty when the field is not set or names no real day (such as 31 February)
   * @throws IllegalArgumentException for any other name
   */
  public Optional<LocalDate> localDate(String field) {
    if (!DATE_FIELDS.contains(field)) throw new IllegalArgumentException("not a date field: " + field);
    int key = dayKey(asMap().get(field));
    if (key == 0) return Optional.empty();
    try {
      return Optional.of(LocalDate.of(key / 10000, key / 100 % 100, key % 100));
    } catch (DateTimeException e) {
      return Optional.empty();
    }
  }

  /**
   * Whether the card has expired on that day: it is valid through its expiry date.
   *
   * @param on the day asked about
   * @return true from the day after the expiry date; false when the card has no expiry date
   */
  public boolean isExpired(LocalDate on) {
    return Brevicon.nativeIsExpired(dayKey(expirationDate), dayKey(on));
  }

  /**
   * The holder's age in full years on that day. Someone born on 29 February is a year older from 1 March in years
   * without that day.
   *
   * @param on the day asked about
   * @return the age, or empty without a birth date or for a day before it
   */
  public OptionalInt ageOn(LocalDate on) {
    int age = Brevicon.nativeAgeOn(dayKey(birthdate), dayKey(on));
    return age < 0 ? OptionalInt.empty() : OptionalInt.of(age);
  }

  /**
   * Whether the holder is at least that old on that day. For 18, 19 and 21 the card's own under-18, under-19 and
   * under-21 dates answer when the card prints them, since issuers print them for this check; otherwise the birth
   * date answers.
   *
   * @param years the age asked about
   * @param on the day asked about
   * @return the answer; false when neither date is known
   */
  public boolean isAtLeast(int years, LocalDate on) {
    return Brevicon.nativeIsAtLeast(
        years,
        dayKey(on),
        dayKey(birthdate),
        dayKey(extras.get("under18Until")),
        dayKey(extras.get("under19Until")),
        dayKey(extras.get("under21Until")));
  }

  /**
   * The fields the document yielded, by name, in the order the binding writes them (the README's order);
   * indicators as "0" or "1".
   *
   * @return a new, modifiable map
   */
  public Map<String, String> asMap() {
    Map<String, String> map = new LinkedHashMap<>();
    for (int i = 0; i < FIELD_COUNT; ++i) {
      Object value = field(i);
      if (value == null || Integer.valueOf(ABSENT).equals(value)) continue;
      map.put(FIELD_NAMES[i], value.toString());
    }
    return map;
  }

  /**
   * The fields as the command-line tool's {@code "fields"} object prints them: set fields only, indicators as
   * numbers, characters outside printable ASCII escaped as four hex digits, as there.
   *
   * @return a JSON object on one line
   */
  public String toJson() {
    StringBuilder out = new StringBuilder("{");
    for (int i = 0; i < FIELD_COUNT; ++i) {
      Object value = field(i);
      if (value == null || Integer.valueOf(ABSENT).equals(value)) continue;
      if (out.length() > 1) out.append(", ");
      appendJsonString(out, FIELD_NAMES[i]).append(": ");
      if (value instanceof Integer) {
        out.append(value);
      } else {
        appendJsonString(out, (String) value);
      }
    }
    return out.append('}').toString();
  }

  @Override
  public boolean equals(Object other) {
    if (this == other) return true;
    if (!(other instanceof BreviconResult)) return false;
    BreviconResult that = (BreviconResult) other;
    for (int i = 0; i < FIELD_COUNT; ++i) {
      if (!Objects.equals(field(i), that.field(i))) return false;
    }
    return status == that.status
        && decoderGroup == that.decoderGroup
        && decoderId == that.decoderId
        && Objects.equals(standard, that.standard)
        && repairs.equals(that.repairs)
        && extras.equals(that.extras)
        && Objects.equals(symbolFormat, that.symbolFormat)
        && Arrays.equals(symbolPosition, that.symbolPosition);
  }

  @Override
  public int hashCode() {
    int hash = Objects.hash(status, decoderGroup, decoderId, standard, repairs, extras, symbolFormat);
    hash = 31 * hash + Arrays.hashCode(symbolPosition);
    for (int i = 0; i < FIELD_COUNT; ++i) hash = 31 * hash + Objects.hashCode(field(i));
    return hash;
  }

  /**
   * The decoder and the set fields for logs, with the values that name or locate the holder (names, address,
   * licence number, birth date) and the extras masked as {@code ***}.
   */
  @Override
  public String toString() {
    StringBuilder out = new StringBuilder("BreviconResult{");
    if (status != 0) out.append("status=").append(status).append(", ");
    out.append("decoder=").append(decoderGroup).append('/').append(decoderId);
    if (standard != null) out.append(" (").append(standard).append(')');
    if (!repairs.isEmpty()) out.append(", repairs=").append(repairs);
    asMap()
        .forEach(
            (name, value) -> out.append(", ").append(name).append('=').append(PERSONAL.contains(name) ? "***" : value));
    if (!extras.isEmpty()) out.append(", extras=").append(extras.keySet());
    if (symbolFormat != null) out.append(", symbol=").append(symbolFormat);
    return out.append('}').toString();
  }

  /** MM/DD/YYYY as YYYYMMDD, 0 for null or any other text. */
  static int dayKey(String date) {
    if (date == null || date.length() != 10 || date.charAt(2) != '/' || date.charAt(5) != '/') return 0;
    int month = digits(date, 0, 2);
    int day = digits(date, 3, 5);
    int year = digits(date, 6, 10);
    return month < 0 || day < 0 || year < 0 ? 0 : (year * 100 + month) * 100 + day;
  }

  static int dayKey(LocalDate on) {
    Objects.requireNonNull(on, "on");
    return (on.getYear() * 100 + on.getMonthValue()) * 100 + on.getDayOfMonth();
  }

  private static int digits(String text, int from, int to) {
    int value = 0;
    for (int i = from; i < to; ++i) {
      char c = text.charAt(i);
      if (c < '0' || c > '9') return -1;
      value = value * 10 + (c - '0');
    }
    return value;
  }

  private static StringBuilder appendJsonString(StringBuilder out, String value) {
    out.append('"');
    for (int i = 0; i < value.length(); ++i) {
      char c = value.charAt(i);
      if (c == '"' || c == '\\') {
        out.append('\\').append(c);
      } else if (c >= 32 && c <= 126) {
        out.append(c);
      } else {
        out.append(String.format("\\u%04X", (int) c));
      }
    }
    return out.append('"');
  }

  /**
   * The names of the 40 fields, in the order the command-line tool prints them and {@link #asMap()} holds them: for
   * a table or a schema with one column per field.
   *
   * @return an unmodifiable list, the same at every call
   */
  public static List<String> fieldNames() {
    return FIELD_NAME_LIST;
  }

  /** The field names in the binding's order, which is the declaration order above. */
  static final String[] FIELD_NAMES = {
    "firstName", "lastName", "documentType", "countryCode",
    "country", "jurisdictionCode", "iin", "middleName",
    "nameSuffix", "namePrefix", "fullName", "address1",
    "address2", "city", "licenseNumber", "classificationCode",
    "restrictionCode", "restrictionCodeDescription", "endorsementsCode", "endorsementCodeDescription",
    "expirationDate", "HAZMATExpDate", "birthdate", "cardRevisionDate",
    "gender", "issueDate", "issuedBy", "postalCode",
    "eyeColor", "race", "hairColor", "height",
    "weightKG", "weightLBS", "complianceType", "isLimitedDurationDocument",
    "isOrganDonor", "isVeteran", "vehicleClassCode", "vehicleClassCodeDescription",
  };

  static final int FIELD_COUNT = FIELD_NAMES.length;

  private static final List<String> FIELD_NAME_LIST = List.of(FIELD_NAMES);

  /** Field i of FIELD_NAMES: a String, or an Integer for the indicators. */
  Object field(int i) {
    switch (i) {
      case 0:
        return firstName;
      case 1:
        return lastName;
      case 2:
        return documentType;
      case 3:
        return countryCode;
      case 4:
        return country;
      case 5:
        return jurisdictionCode;
      case 6:
        return iin;
      case 7:
        return middleName;
      case 8:
        return nameSuffix;
      case 9:
        return namePrefix;
      case 10:
        return fullName;
      case 11:
        return address1;
      case 12:
        return address2;
      case 13:
        return city;
      case 14:
        return licenseNumber;
      case 15:
        return classificationCode;
      case 16:
        return restrictionCode;
      case 17:
        return restrictionCodeDescription;
      case 18:
        return endorsementsCode;
      case 19:
        return endorsementCodeDescription;
      case 20:
        return expirationDate;
      case 21:
        return HAZMATExpDate;
      case 22:
        return birthdate;
      case 23:
        return cardRevisionDate;
      case 24:
        return gender;
      case 25:
        return issueDate;
      case 26:
        return issuedBy;
      case 27:
        return postalCode;
      case 28:
        return eyeColor;
      case 29:
        return race;
      case 30:
        return hairColor;
      case 31:
        return height;
      case 32:
        return weightKG;
      case 33:
        return weightLBS;
      case 34:
        return complianceType;
      case 35:
        return isLimitedDurationDocument;
      case 36:
        return isOrganDonor;
      case 37:
        return isVeteran;
      case 38:
        return vehicleClassCode;
      case 39:
        return vehicleClassCodeDescription;
      default:
        throw new IndexOutOfBoundsException(i);
    }
  }

  /** Sets text field i of FIELD_NAMES; the bulk result reads faster this way than by reflection. */
  void setText(int i, String value) {
    switch (i) {
      case 0:
        firstName = value;
        break;
      case 1:
        lastName = value;
        break;
      case 2:
        documentType = value;
        break;
      case 3:
        countryCode = value;
        break;
      case 4:
        country = value;
        break;
      case 5:
        jurisdictionCode = value;
        break;
      case 6:
        iin = value;
        break;
      case 7:
        middleName = value;
        break;
      case 8:
        nameSuffix = value;
        break;
      case 9:
        namePrefix = value;
        break;
      case 10:
        fullName = value;
        break;
      case 11:
        address1 = value;
        break;
      case 12:
        address2 = value;
        break;
      case 13:
        city = value;
        break;
      case 14:
        licenseNumber = value;
        break;
      case 15:
        classificationCode = value;
        break;
      case 16:
        restrictionCode = value;
        break;
      case 17:
        restrictionCodeDescription = value;
        break;
      case 18:
        endorsementsCode = value;
        break;
      case 19:
        endorsementCodeDescription = value;
        break;
      case 20:
        expirationDate = value;
        break;
      case 21:
        HAZMATExpDate = value;
        break;
      case 22:
        birthdate = value;
        break;
      case 23:
        cardRevisionDate = value;
        break;
      case 24:
        gender = value;
        break;
      case 25:
        issueDate = value;
        break;
      case 26:
        issuedBy = value;
        break;
      case 27:
        postalCode = value;
        break;
      case 28:
        eyeColor = value;
        break;
      case 29:
        race = value;
        break;
      case 30:
        hairColor = value;
        break;
      case 31:
        height = value;
        break;
      case 32:
        weightKG = value;
        break;
      case 33:
        weightLBS = value;
        break;
      case 34:
        complianceType = value;
        break;
      case 38:
        vehicleClassCode = value;
        break;
      case 39:
        vehicleClassCodeDescription = value;
        break;
      default:
        throw new IndexOutOfBoundsException(i);
    }
  }

  /** Sets indicator i of FIELD_NAMES. */
  void setFlag(int i, int value) {
    switch (i) {
      case 35:
        isLimitedDurationDocument = value;
        break;
      case 36:
        isOrganDonor = value;
        break;
      case 37:
        isVeteran = value;
        break;
      default:
        throw new IndexOutOfBoundsException(i);
    }
  }
}
