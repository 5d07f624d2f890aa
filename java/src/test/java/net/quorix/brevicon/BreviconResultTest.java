package net.quorix.brevicon;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.ObjectInputStream;
import java.io.ObjectOutputStream;
import java.nio.ByteBuffer;
import java.time.Clock;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.ZoneOffset;
import java.util.List;
import java.util.Map;
import java.util.Optional;
import java.util.OptionalInt;
import java.util.Set;
import org.junit.jupiter.api.Test;

/** What a result offers beyond its fields: decoder, extras, dates, checks, value semantics; and the new calls. */
class BreviconResultTest {
  private static final String STRIPE =
      "%CAOAKLAND^DOE$JOHN$Q^123 MAIN ST^?;6360141234567=251219800115?%!!94612      C B         NONEM510180BROBLU?";
  /** A stripe that carries no dates. */
  private static final String UNDATED = "%1^DOE JOHN^12345678^?";

  private static BreviconResult parse(String text) throws BreviconException {
    try (Brevicon parser = new Brevicon()) {
      return parser.parse(text);
    }
  }

  /** The 2014 licence born on the given MMDDYYYY day, with more elements. */
  private static String bornOn(String birth, String... extra) {
    return Documents.aamva2014(extra).replace("DBB01021980", "DBB" + birth);
  }

  @Test
  void decoderStandardAndExtras() throws Exception {
    BreviconResult result =
        parse(Documents.aamva2014("DCFDOC123", "DDJ01022001", "DDET", "DBNROE", "DBGANNIE"));
    assertAll(
        () -> assertEquals(0, result.status()),
        () -> assertEquals(0, result.decoderGroup()),
        () -> assertTrue(result.decoderId() >= 0 && result.decoderId() < 56),
        () -> assertEquals("AAMVA DL/ID 2014", result.standard()),
        () -> assertEquals(Set.of(), result.repairs()),
        () ->
            assertEquals(
                Map.of(
                    "documentDiscriminator", "DOC123",
                    "under21Until", "01/02/2001",
                    "aliasFamilyName", "ROE",
                    "aliasGivenName", "ANNIE",
                    "familyNameTruncation", "T"),
                result.extras()),
        () ->
            assertEquals(
                List.of("documentDiscriminator", "under21Until"),
                List.copyOf(result.extras().keySet()).subList(0, 2)),
        () -> assertThrows(UnsupportedOperationException.class, () -> result.extras().clear()));
    assertEquals(Map.of(), parse(STRIPE).extras());
  }

  @Test
  void underTwentyOneDateOutranksTheBirthDate() throws Exception {
    // The card says 21 is reached a day after the birthday; the rule is the core's, this checks what reaches it.
    BreviconResult result = parse(bornOn("03042004", "DDJ03052025"));
    LocalDate birthday = LocalDate.of(2025, 3, 4);
    assertAll(
        () -> assertEquals(OptionalInt.of(21), result.ageOn(birthday)),
        () -> assertFalse(result.isAtLeast(21, birthday)),
        () -> assertTrue(result.isAtLeast(21, birthday.plusDays(1))));
  }

  @Test
  void expiryAndDatesOfACardWithAndWithoutThem() throws Exception {
    BreviconResult dated = parse(Documents.aamva2014());
    assertAll(
        () -> assertFalse(dated.isExpired(LocalDate.of(2030, 1, 2))),
        () -> assertTrue(dated.isExpired(LocalDate.of(2030, 1, 3))),
        () -> assertEquals(Optional.of(LocalDate.of(2022, 1, 2)), dated.localDate("issueDate")),
        () -> assertEquals(Optional.empty(), dated.localDate("HAZMATExpDate")),
        () -> assertThrows(IllegalArgumentException.class, () -> dated.localDate("firstName")));
    BreviconResult undated = parse(UNDATED);
    LocalDate today = LocalDate.of(2024, 6, 15);
    assertAll(
        () -> assertNull(undated.expirationDate),
        () -> assertFalse(undated.isExpired(today)),
        () -> assertEquals(OptionalInt.empty(), undated.ageOn(today)),
        () -> assertFalse(undated.isAtLeast(0, today)));
    // A day the document writes but the calendar lacks is no date.
    BreviconResult impossible = parse(bornOn("02311980"));
    assertEquals("02/31/1980", impossible.birthdate);
    assertEquals(Optional.empty(), impossible.localDate("birthdate"));
  }

  /** The corpus test checks each rejected case's status through parse and tryParse; here, what else it carries. */
  @Test
  void tryParseCarriesTheStatusAndNoFields() {
    try (Brevicon parser = new Brevicon()) {
      BreviconException e =
          assertThrows(BreviconException.class, () -> parser.parse(Documents.bytes(Documents.REJECTED)));
      assertEquals("no decoder accepted the input", e.getMessage());
      assertEquals(BreviconException.STATUS_EMPTY_INPUT, parser.tryParse(Documents.bytes("")).status());
      BreviconResult rejected = parser.tryParse(Documents.bytes(Documents.REJECTED));
      assertAll(
          () -> assertEquals(Map.of(), rejected.asMap()),
          () -> assertEquals(BreviconResult.NO_DECODER, rejected.decoderId()),
          () -> assertNull(rejected.standard()),
          () -> assertEquals("BreviconResult{status=-25, decoder=-1/-1}", rejected.toString()));
    }
  }

  @Test
  void equalResultsAndASerialisationRoundTrip() throws Exception {
    BreviconResult first = parse(Documents.aamva2014("DCFDOC123"));
    BreviconResult second = parse(Documents.aamva2014("DCFDOC123"));
    assertEquals(first, second);
    assertEquals(first.hashCode(), second.hashCode());
    assertNotEquals(first, parse(Documents.aamva2014("DCFDOC124")));
    second.race = "W";
    assertNotEquals(first, second);

    ByteArrayOutputStream bytes = new ByteArrayOutputStream();
    try (ObjectOutputStream out = new ObjectOutputStream(bytes)) {
      out.writeObject(first);
    }
    try (ObjectInputStream in = new ObjectInputStream(new ByteArrayInputStream(bytes.toByteArray()))) {
      BreviconResult copy = (BreviconResult) in.readObject();
      assertEquals(first, copy);
      assertEquals("DOC123", copy.extras().get("documentDiscriminator"));
      assertEquals(first.isAtLeast(21, LocalDate.of(2024, 1, 1)), copy.isAtLeast(21, LocalDate.of(2024, 1, 1)));
    }
  }

  @Test
  void toStringNamesTheDecoderAndMasksThePerson() throws Exception {
    BreviconResult result = parse(Documents.aamva2014());
    String text = result.toString();
    assertTrue(text.startsWith("BreviconResult{decoder=0/" + result.decoderId() + " (AAMVA DL/ID 2014), "), text);
    assertTrue(text.contains("firstName=***") && text.contains("expirationDate=01/02/2030"), text);
    List<String> personal =
        List.of("MICHAEL", "JOHN", "SAMPLE", "D1234567", "123 MAIN ST", "SACRAMENTO", "958150000", "01/02/1980");
    for (String value : personal) {
      assertFalse(text.contains(value), value + " in " + text);
    }
  }

  @Test
  void mapAndJsonInTheBindingOrder() throws Exception {
    BreviconResult result = parse(Documents.aamva2014("DDK1"));
    Map<String, String> map = result.asMap();
    assertEquals(List.of("firstName", "lastName", "documentType"), List.copyOf(map.keySet()).subList(0, 3));
    assertEquals("1", map.get("isOrganDonor"));
    assertFalse(map.containsKey("isVeteran"));
    String json = result.toJson();
    assertTrue(json.startsWith("{\"firstName\": \"MICHAEL\", \"lastName\": \"SAMPLE\", "), json);
    assertTrue(json.contains(", \"isOrganDonor\": 1, ") && json.endsWith("\"}"), json);
    result.city = "Q\"\u00e9";
    assertTrue(result.toJson().contains("\"city\": \"Q\\\"\\u00E9\""), result.toJson());
  }

  @Test
  void aFixedClockGivesTheStripeItsCentury() throws Exception {
    Clock later = Clock.fixed(LocalDateTime.of(2150, 1, 1, 0, 0).toInstant(ZoneOffset.UTC), ZoneOffset.UTC);
    try (Brevicon parser = new Brevicon(later);
        Brevicon today = new Brevicon(Clock.systemDefaultZone())) {
      assertEquals("12/15/2125", parser.parse(STRIPE).expirationDate);
      BreviconResult viaFields = new BreviconResult();
      ByteBuffer text = Documents.direct(STRIPE);
      assertEquals(0, parser.parse(text, text.capacity(), viaFields));
      assertEquals("12/15/2125", viaFields.expirationDate);
      assertEquals("12/15/2025", today.parse(STRIPE).expirationDate);
    }
  }

  @Test
  void inputsAboveTheLimitAreRefused() throws Exception {
    try (Brevicon parser = new Brevicon()) {
      assertEquals(Brevicon.DEFAULT_MAX_INPUT_SIZE, parser.getMaxInputSize());
      String text = Documents.aamva2014();
      parser.setMaxInputSize(text.length());
      assertEquals("MICHAEL", parser.parse(text).firstName);
      String longer = text + " ";
      BreviconException e = assertThrows(BreviconException.class, () -> parser.parse(longer));
      assertEquals("the input is longer than the parser's limit", e.getMessage());
      assertEquals(BreviconException.STATUS_INPUT_TOO_LARGE, parser.tryParse(Documents.bytes(longer)).status());
      ByteBuffer direct = Documents.direct(longer);
      assertEquals(
          BreviconException.STATUS_INPUT_TOO_LARGE, parser.parse(direct, direct.capacity(), new BreviconResult()));
      assertThrows(IllegalArgumentException.class, () -> parser.setMaxInputSize(0));
    }
  }

  @Test
  void aResultLargerThanItsBufferIsWrittenAgainWhole() throws Exception {
    String street = "1 " + "LONG ".repeat(2000) + "ST";
    String text = Documents.aamva2014().replace("DAG123 MAIN ST", "DAG" + street);
    try (Brevicon parser = new Brevicon()) {
      BreviconResult bulk = parser.parse(text);
      BreviconResult byName = new BreviconResult();
      ByteBuffer direct = Documents.direct(text);
      assertEquals(0, parser.parse(direct, direct.capacity(), byName));
      assertTrue(bulk.address1.length() > 9000, bulk.address1);
      assertEquals(byName.asMap(), bulk.asMap());
      assertEquals("MICHAEL", parser.parse(Documents.aamva2014()).firstName);
    }
  }

  @Test
  void largeInputsParseAndLeaveTheParserUsable() throws Exception {
    try (Brevicon parser = new Brevicon()) {
      String padded = Documents.aamva2014() + " ".repeat(3 << 20);
      assertEquals("MICHAEL", parser.parse(padded).firstName);
      assertEquals(parser.parse(Documents.aamva2014()), parse(Documents.aamva2014()));
    }
  }

  @Test
  void textAsCharactersUpToFf() throws Exception {
    try (Brevicon parser = new Brevicon()) {
      assertEquals(parser.parse(Documents.bytes(Documents.aamva2014())), parser.parse(Documents.aamva2014()));
      IllegalArgumentException e =
          assertThrows(IllegalArgumentException.class, () -> parser.parse(Documents.aamva2014() + "\u0100"));
      assertTrue(e.getMessage().contains("U+0100"), e.getMessage());
    }
  }
}
