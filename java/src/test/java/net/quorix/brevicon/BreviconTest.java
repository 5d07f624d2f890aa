package net.quorix.brevicon;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotSame;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.nio.ByteBuffer;
import org.junit.jupiter.api.Test;

/** The Java API around the natives: lifecycle, fresh results and typed failures; shared use is in the misuse test. */
class BreviconTest {
  @Test
  void closeIsIdempotentAndEndsParsing() throws Exception {
    Brevicon parser = new Brevicon();
    assertEquals("MICHAEL", parser.parse(Documents.bytes(Documents.aamva2014())).firstName);
    parser.close();
    parser.close();
    assertThrows(IllegalStateException.class, () -> parser.parse(Documents.bytes(Documents.aamva2014())));
    ByteBuffer text = Documents.direct(Documents.aamva2014());
    assertThrows(IllegalStateException.class, () -> parser.parse(text, text.capacity(), new BreviconResult()));
  }

  @Test
  void everyParseReturnsAFreshResult() throws Exception {
    try (Brevicon parser = new Brevicon()) {
      BreviconResult first = parser.parse(Documents.bytes(Documents.aamva2014("DDK1", "DCLW")));
      // The second document is shorter and lacks the middle name, race and indicator: none may carry over.
      String second = Documents.aamva2014().replace("DADJOHN\n", "");
      BreviconResult next = parser.parse(Documents.bytes(second));
      assertNotSame(first, next);
      assertAll(
          () -> assertEquals(1, first.isOrganDonor),
          () -> assertEquals("JOHN", first.middleName),
          () -> assertEquals(BreviconResult.ABSENT, next.isOrganDonor),
          () -> assertEquals(BreviconResult.ABSENT, next.isVeteran),
          () -> assertNull(next.middleName),
          () -> assertNull(next.race),
          () -> assertEquals("MICHAEL", next.firstName));
    }
  }

  @Test
  void bufferArgumentsAreChecked() {
    try (Brevicon parser = new Brevicon()) {
      ByteBuffer heap = ByteBuffer.wrap(Documents.bytes(Documents.aamva2014()));
      ByteBuffer direct = Documents.direct(Documents.aamva2014());
      BreviconResult result = new BreviconResult();
      assertAll(
          () -> assertThrows(IllegalArgumentException.class, () -> parser.parse(heap, heap.capacity())),
          () -> assertThrows(IllegalArgumentException.class, () -> parser.parse(direct, direct.capacity() + 1)),
          () -> assertThrows(IllegalArgumentException.class, () -> parser.parse(direct, -1, result)),
          () -> assertThrows(NullPointerException.class, () -> parser.parse(null, 0, result)),
          () -> assertThrows(NullPointerException.class, () -> parser.parse(direct, 1, null)),
          () -> assertThrows(NullPointerException.class, () -> parser.parse((byte[]) null)));
    }
  }
}
