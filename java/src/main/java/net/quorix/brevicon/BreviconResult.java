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

  public String firstName;
  public String lastName;
  public String documentType;
  public String countryCode;
  public String country;
  public String jurisdictionCode;
  public String iin;
  public String middleName;
  public String nameSuffix;
  public String namePrefix;
  public String fullName;
  public String address1;
  public String address2;
  public String city;
  public String licenseNumber;
  public String classificationCode;
  public String restrictionCode;
  public String restrictionCodeDescription;
  public String endorsementsCode;
  public String endorsementCodeDescription;
  public String expirationDate;
  public String HAZMATExpDate;
  public String birthdate;
  public String cardRevisionDate;
  public String gender;
  public String issueDate;
  public String issuedBy;
  public String postalCode;
  public String eyeColor;
  public String race;
  public String hairColor;
  public String height;
  public String weightKG;
  public String weightLBS;
  public String complianceType;
  public int isLimitedDurationDocument = ABSENT;
  public int isOrganDonor = ABSENT;
  public int isVeteran = ABSENT;
  public String vehicleClassCode;
  public String vehicleClassCodeDescription;

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
