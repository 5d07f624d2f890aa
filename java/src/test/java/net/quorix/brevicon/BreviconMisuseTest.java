package net.quorix.brevicon;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assertions.fail;

import java.lang.reflect.Field;
import java.lang.reflect.Modifier;
import java.nio.ByteBuffer;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import org.junit.jupiter.api.Test;

/**
 * Callers that get things wrong, and inputs that are not documents, through the real library: each gives a status
 * or an exception, never a crash, and every string the binding makes is printable ASCII (run with -Xcheck:jni,
 * which also checks every string the binding creates).
 */
class BreviconMisuseTest {
  /** Every String field of a result holds printable ASCII only. */
  private static void assertPrintable(BreviconResult result, String context) throws IllegalAccessException {
    for (Field field : BreviconResult.class.getDeclaredFields()) {
      if (field.getType() != String.class || !Modifier.isPublic(field.getModifiers())) continue;
      if (Modifier.isStatic(field.getModifiers())) continue;
      String value = (String) field.get(result);
      if (value == null) continue;
      for (int i = 0; i < value.length(); ++i) {
        char c = value.charAt(i);
        if (c < 32 || c > 126) fail(context + ": " + field.getName() + " holds char " + (int) c);
      }
    }
  }

  /**
   * Damaged documents: a status or a result, and results made of printable ASCII. Random bytes and marker soup
   * reach the core in its own hostile-input tests and fuzz targets.
   */
  @Test
  void hostileInputsGiveAStatusAndPrintableFields() throws Exception {
    String document = Documents.aamva2014("DCLW", "DDK1");
    List<byte[]> inputs = new ArrayList<>();
    for (int cut = 0; cut <= document.length(); cut += 7) inputs.add(Documents.bytes(document.substring(0, cut)));
    byte[] highBytes = Documents.bytes(document);
    for (int i = 0; i < highBytes.length; i += 5) highBytes[i] |= (byte) 0x80;
    inputs.add(highBytes);
    inputs.add(Documents.bytes(document.replace("SAMPLE", "SAM\u0000PLE\u00ff")));
    inputs.add(Documents.bytes(document.replace('\n', '\u0000')));
    try (Brevicon parser = new Brevicon()) {
      for (int i = 0; i < inputs.size(); ++i) {
        try {
          assertPrintable(parser.parse(inputs.get(i)), "input " + i);
        } catch (BreviconException e) {
          int status = e.getStatus();
          assertTrue(
              status == BreviconException.STATUS_NO_DECODER || status == BreviconException.STATUS_EMPTY_INPUT,
              "input " + i + " gave status " + status);
        }
      }
    }
  }

  /** Fields with the right names but the wrong kind: static, or an int where a String belongs. */
  @Test
  void resultWithFieldsOfTheWrongKind() {
    try (Brevicon parser = new Brevicon()) {
      ByteBuffer text = Documents.direct(Documents.aamva2014());
      assertThrows(NoSuchFieldError.class, () -> parser.parse(text, text.capacity(), new StaticFirstName()));
      assertNull(StaticFirstName.firstName);
      IntFirstName wrong = new IntFirstName();
      assertThrows(NoSuchFieldError.class, () -> parser.parse(text, text.capacity(), wrong));
      assertEquals(0, wrong.firstName);
    }
  }

  /**
   * Buffers the binding reads through their address: a read-only view and a slice are read from their start,
   * whatever their position and limit.
   */
  @Test
  void readOnlyAndSlicedDirectBuffers() throws Exception {
    try (Brevicon parser = new Brevicon()) {
      ByteBuffer text = Documents.direct(Documents.aamva2014());
      ByteBuffer readOnly = text.asReadOnlyBuffer();
      readOnly.position(10).limit(12);
      assertEquals("MICHAEL", parser.parse(readOnly, readOnly.capacity()).firstName);

      byte[] framed = Documents.bytes("JUNK" + Documents.aamva2014());
      ByteBuffer whole = ByteBuffer.allocateDirect(framed.length).put(framed);
      ByteBuffer slice = whole.position(4).slice();
      assertEquals("MICHAEL", parser.parse(slice, slice.capacity()).firstName);
      // Only the slice's capacity is the limit: one byte more reaches past it.
      assertThrows(IllegalArgumentException.class, () -> parser.parse(slice, slice.capacity() + 1));
    }
  }

  /**
   * Threads share one parser, each parsing other documents, while the parser is closed halfway: a parse takes its
   * turn and gives its own document's result, or says the parser is closed, and once closed it stays closed.
   */
  @Test
  void threadsSharingOneParserTakeTurnsUntilItCloses() throws Exception {
    byte[][] documents = {
      Documents.bytes(Documents.aamva2014("DDK1")), Documents.bytes(Documents.aamva2014("DDK0")),
      Documents.bytes(Documents.REJECTED),
    };
    int[] expected = {1, 0, -1};
    ExecutorService pool = Executors.newFixedThreadPool(4);
    try {
      for (int round = 0; round < 20; ++round) {
        Brevicon parser = new Brevicon();
        CountDownLatch halfway = new CountDownLatch(30);
        List<Future<String>> parses = new ArrayList<>();
        for (int t = 0; t < 3; ++t) {
          int first = t;
          parses.add(
              pool.submit(
                  () -> {
                    StringBuilder outcomes = new StringBuilder();
                    for (int i = 0; i < 20; ++i, halfway.countDown()) {
                      int d = (first + i) % documents.length;
                      try {
                        outcomes.append(parser.parse(documents[d]).isOrganDonor == expected[d] ? 'p' : 'x');
                      } catch (BreviconException e) {
                        outcomes.append(e.getStatus() == BreviconException.STATUS_NO_DECODER && d == 2 ? 'p' : 'x');
                      } catch (IllegalStateException closed) {
                        outcomes.append('c');
                      }
                    }
                    return outcomes.toString();
                  }));
        }
        assertTrue(halfway.await(30, TimeUnit.SECONDS));
        parser.close();
        for (Future<String> parse : parses) {
          String outcomes = parse.get(30, TimeUnit.SECONDS);
          assertTrue(outcomes.matches("p*c*"), "round " + round + ": " + outcomes);
        }
      }
    } finally {
      pool.shutdown();
    }
  }

  /** Parsers dropped without close are freed by the cleaner, without disturbing the parsers still in use. */
  @Test
  void abandonedParsersAreCleanedUp() throws Exception {
    byte[] document = Documents.bytes(Documents.aamva2014());
    try (Brevicon kept = new Brevicon()) {
      for (int i = 0; i < 2000; ++i) {
        new Brevicon().parse(document);
        if (i % 500 == 0) System.gc();
      }
      System.gc();
      assertEquals("SAMPLE", kept.parse(document).lastName);
    }
  }

  static final class StaticFirstName {
    static String firstName;
  }

  static final class IntFirstName {
    int firstName;
  }
}
