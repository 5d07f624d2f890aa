package net.quorix.brevicon;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.lang.reflect.Field;
import java.lang.reflect.Modifier;
import java.nio.ByteBuffer;
import java.util.ArrayList;
import java.util.List;
import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;

/**
 * The seven natives against the real library: versions, argument checks and how fields are written. How indicators
 * are written, and left alone when absent, the corpus test checks on the golden indicator cases by both paths.
 */
class BreviconBindingTest {
  private long handle;

  @BeforeEach
  void createInstance() {
    handle = Brevicon.createNativeInstance();
    assertNotEquals(0L, handle, "the native instance could not be created");
  }

  @AfterEach
  void destroyInstance() {
    Brevicon.destroyNativeInstance(handle);
  }

  @Test
  void versionGetters() {
    // The build passes the one version it declares; the numbers must spell the same text.
    String version = System.getProperty("quorix.version");
    assertAll(
        () -> assertEquals(version, Brevicon.nativeGetVersion()),
        () -> assertEquals(version, Brevicon.getVersion()),
        () ->
            assertEquals(
                version,
                "v." + Brevicon.nativeGetMajorVersion() + "." + Brevicon.nativeGetMinorVersion() + "."
                    + Brevicon.nativeGetBuildVersion()),
        () ->
            assertEquals(
                version,
                "v." + Brevicon.getMajorVersion() + "." + Brevicon.getMinorVersion() + "." + Brevicon.getBuildVersion()));
  }

  /**
   * Arguments the binding must refuse before it reads anything, and a text no decoder reads: each leaves the result
   * object as it was.
   */
  @Test
  void badArgumentsLeaveTheResultUntouched() {
    ByteBuffer document = Documents.direct(Documents.aamva2014());
    int length = document.capacity();
    ByteBuffer heap = ByteBuffer.wrap(Documents.bytes(Documents.aamva2014()));
    ByteBuffer rejected = Documents.direct(Documents.REJECTED);
    Object[][] cases = {
      // name, handle, buffer, length, expected status
      {"handle 0", 0L, document, length, -21},
      {"null buffer", handle, null, length, -11},
      {"buffer that is not direct", handle, heap, length, -11},
      {"length beyond the buffer", handle, document, length + 1, -21},
      {"length far beyond the buffer", handle, document, Integer.MAX_VALUE, -21},
      {"empty input", handle, document, 0, -17},
      {"negative length", handle, document, -1, -17},
      {"rejected input", handle, rejected, rejected.capacity(), -25},
    };
    for (Object[] c : cases) {
      BreviconResult result = Sentinel.filled();
      int status = Brevicon.nativeParse((Long) c[1], result, (ByteBuffer) c[2], (Integer) c[3]);
      assertEquals((Integer) c[4], status, (String) c[0]);
      Sentinel.assertUntouched(result, (String) c[0]);
    }
    assertEquals(-21, Brevicon.nativeParse(handle, null, document, length), "null result");
  }

  /** The field ids the binding caches for a class must not hide a missing field on the second parse either. */
  @Test
  void missingFieldFailsAfterWritingTheEarlierOnes() {
    ByteBuffer text = Documents.direct(Documents.aamva2014("DCLW"));
    for (int round = 0; round < 2; ++round) {
      WithoutRace result = new WithoutRace();
      // The binding returns -27 and leaves NoSuchFieldError pending, so Java sees the error, not the status.
      NoSuchFieldError error =
          assertThrows(NoSuchFieldError.class, () -> Brevicon.nativeParse(handle, result, text, text.capacity()));
      assertTrue(error.getMessage().contains("race"), error.getMessage());
      assertAll(
          () -> assertEquals("MICHAEL", result.firstName, "field 1"),
          () -> assertEquals("SAMPLE", result.lastName, "field 2"),
          () -> assertNotNull(result.eyeColor, "field 29, the last before race"),
          () -> assertNull(result.hairColor, "field 31, after race"),
          () -> assertNull(result.vehicleClassCode, "field 39, after race"));
    }
  }

  @Test
  void missingFieldWithoutValueIsNoError() {
    WithoutRace result = new WithoutRace();
    ByteBuffer text = Documents.direct(Documents.aamva2014());
    assertEquals(0, Brevicon.nativeParse(handle, result, text, text.capacity()));
    assertEquals("MICHAEL", result.firstName);
    assertNotNull(result.hairColor);
  }

  /** A result whose 40 fields each hold a value no parse produces. */
  static final class Sentinel {
    static final String TEXT = "untouched";
    static final int FLAG = 42;

    static BreviconResult filled() {
      BreviconResult s = new BreviconResult();
      for (Field f : fields()) {
        try {
          if (f.getType() == int.class) f.setInt(s, FLAG);
          else f.set(s, TEXT);
        } catch (IllegalAccessException e) {
          throw new AssertionError(e);
        }
      }
      return s;
    }

    static List<Field> fields() {
      List<Field> fields = new ArrayList<>();
      for (Field f : BreviconResult.class.getFields()) {
        if (!Modifier.isStatic(f.getModifiers())) fields.add(f);
      }
      assertEquals(40, fields.size());
      return fields;
    }

    static void assertUntouched(BreviconResult result, String context) {
      for (Field f : fields()) {
        try {
          Object expected = f.getType() == int.class ? (Object) FLAG : TEXT;
          assertEquals(expected, f.get(result), context + ": " + f.getName());
        } catch (IllegalAccessException e) {
          throw new AssertionError(e);
        }
      }
    }
  }

  /** Every field but race. */
  static final class WithoutRace {
    String firstName, lastName, documentType, countryCode, country, jurisdictionCode, iin, middleName, nameSuffix,
        namePrefix, fullName, address1, address2, city, licenseNumber, classificationCode, restrictionCode,
        restrictionCodeDescription, endorsementsCode, endorsementCodeDescription, expirationDate, HAZMATExpDate,
        birthdate, cardRevisionDate, gender, issueDate, issuedBy, postalCode, eyeColor, hairColor, height, weightKG,
        weightLBS, complianceType, vehicleClassCode, vehicleClassCodeDescription;
    int isLimitedDurationDocument, isOrganDonor, isVeteran;
  }
}
