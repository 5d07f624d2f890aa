package net.quorix.brevicon;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.ByteBuffer;
import java.time.Clock;
import java.time.LocalDateTime;
import java.time.ZoneOffset;
import java.lang.reflect.Field;
import java.lang.reflect.Modifier;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;
import java.util.Set;
import java.util.stream.Collectors;
import java.util.stream.Stream;
import org.junit.jupiter.api.DynamicTest;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.TestFactory;

/**
 * The golden corpus through JNI: the result-field lines of each expected file must be what the binding writes.
 * Each case parses on a fixed clock: its now= line, or the golden runner's default time.
 */
class CorpusTest {
  /**
   * The public fields are exactly the binding's, which FIELD_NAMES lists in the order it writes them; each case's
   * field lines below check that order and every field's type against the core's.
   */
  @Test
  void resultClassDeclaresExactlyTheBindingsFields() {
    List<String> declared = new ArrayList<>();
    for (Field f : BreviconResult.class.getFields()) {
      if (!Modifier.isStatic(f.getModifiers())) declared.add(f.getName());
    }
    assertEquals(40, declared.size());
    assertEquals(Set.of(BreviconResult.FIELD_NAMES), Set.copyOf(declared));
    assertEquals(List.of(BreviconResult.FIELD_NAMES), BreviconResult.fieldNames());
    assertThrows(UnsupportedOperationException.class, () -> BreviconResult.fieldNames().set(0, "lastName"));
  }

  @TestFactory
  Stream<DynamicTest> goldenCases() throws IOException {
    Path root = Paths.get(System.getProperty("quorix.golden.dir", "testdata/golden"));
    assertTrue(Files.isDirectory(root), "no golden directory at " + root.toAbsolutePath());
    List<Path> inputs;
    try (Stream<Path> walk = Files.walk(root)) {
      inputs = walk.filter(p -> p.toString().endsWith(".in")).sorted().collect(Collectors.toList());
    }
    List<DynamicTest> tests = new ArrayList<>();
    for (Path input : inputs) {
      Path expectedFile = Paths.get(input.toString().replaceAll("\\.in$", ".expected"));
      if (!Files.exists(expectedFile)) continue; // the C++ runner reports a missing expectation
      List<String> expected = Files.readAllLines(expectedFile, StandardCharsets.ISO_8859_1);
      tests.add(DynamicTest.dynamicTest(root.relativize(input).toString(), () -> check(input, expected)));
    }
    return tests.stream();
  }

  private static void check(Path input, List<String> expectedLines) throws Exception {
    byte[] text = Files.readAllBytes(input);
    // Cases without a now= line were written at the golden runner's default time.
    String now = "2024-06-15T12:00:00";
    if (expectedLines.get(0).startsWith("now=")) now = expectedLines.remove(0).substring("now=".length());
    Clock clock = Clock.fixed(LocalDateTime.parse(now).toInstant(ZoneOffset.UTC), ZoneOffset.UTC);
    int status = Integer.parseInt(expectedLines.get(0).substring("status=".length()));
    try (Brevicon parser = new Brevicon(clock)) {
      if (status != 0) {
        BreviconException e = assertThrows(BreviconException.class, () -> parser.parse(text));
        assertEquals(status, e.getStatus());
        assertEquals(status, parser.tryParse(text).status());
        return;
      }
      BreviconResult result = parser.parse(text);
      assertEquals(fieldLines(expectedLines), render(result));
      assertEquals(expectedLines.get(1), "decoder=" + result.decoderGroup() + "/" + result.decoderId());
      String repairs = expectedLines.get(2).startsWith("repairs=") ? expectedLines.get(2).substring(8) : "";
      assertEquals(repairs, String.join(",", result.repairs()));
      // The caller-class path writes the same fields as the bulk one.
      BreviconResult byName = new BreviconResult();
      ByteBuffer direct = ByteBuffer.allocateDirect(text.length).put(text);
      assertEquals(0, parser.parse(direct, text.length, byName));
      assertEquals(result.asMap(), byName.asMap());
    }
  }

  // The result-field lines between decoder= and the first slot line; the repairs line is no field.
  private static String fieldLines(List<String> lines) {
    StringBuilder out = new StringBuilder();
    for (String line : lines) {
      if (line.startsWith("status=") || line.startsWith("decoder=") || line.startsWith("repairs=")) continue;
      if (line.startsWith("slot.")) break;
      out.append(line).append('\n');
    }
    return out.toString();
  }

  // The result as the golden dump writes it: fields in binding order, unset ones absent, odd bytes as \xHH.
  private static String render(BreviconResult result) throws ReflectiveOperationException {
    StringBuilder out = new StringBuilder();
    for (String name : BreviconResult.FIELD_NAMES) {
      Object value = BreviconResult.class.getField(name).get(result);
      if (value == null || value.equals(BreviconResult.ABSENT)) continue;
      out.append(name).append('=');
      for (char c : value.toString().toCharArray()) {
        if (c >= 32 && c <= 126) out.append(c);
        else out.append(String.format("\\x%02X", (int) c & 0xFF));
      }
      out.append('\n');
    }
    return out.toString();
  }
}
