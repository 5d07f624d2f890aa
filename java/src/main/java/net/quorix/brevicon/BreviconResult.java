package net.quorix.brevicon;

import java.lang.reflect.Field;
import java.lang.reflect.Modifier;

/**
 * The fields derived from one document. The native binding writes them by name, so names and types are a contract:
 * a text field the document does not yield stays null, and an indicator it does not carry stays {@link #ABSENT}.
 * Dates read MM/DD/YYYY; indicators are 1 for yes and 0 for no.
 */
public final class BreviconResult {
  /** Value of an indicator that the document does not carry. */
  public static final int ABSENT = -1;

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

  /** A result with every text field null and every indicator {@link #ABSENT}; a parse fills it in. */
  public BreviconResult() {}

  /** The fields the document yielded, one {@code name=value} per line, in the order the binding writes them. */
  @Override
  public String toString() {
    StringBuilder out = new StringBuilder();
    for (Field field : BreviconResult.class.getDeclaredFields()) {
      if (Modifier.isStatic(field.getModifiers())) continue;
      Object value;
      try {
        value = field.get(this);
      } catch (IllegalAccessException e) {
        throw new AssertionError(e);
      }
      if (value == null || Integer.valueOf(ABSENT).equals(value)) continue;
      out.append(field.getName()).append('=').append(value).append('\n');
    }
    return out.toString();
  }
}
