package net.quorix.brevicon;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;

/**
 * Run by ctest in a JVM of its own with -Xmx512m: 100,000 parsers used once and dropped without close() must keep
 * the process below 600 MB resident, and one parse of a 50 MB input must not pin its buffers afterwards.
 */
public final class MemoryCheck {
  private MemoryCheck() {}

  private static long residentKb(String field) throws IOException {
    for (String line : Files.readAllLines(Path.of("/proc/self/status"))) {
      if (line.startsWith(field + ":")) return Long.parseLong(line.replaceAll("[^0-9]", ""));
    }
    throw new IllegalStateException("no " + field + " in /proc/self/status");
  }

  public static void main(String[] args) throws Exception {
    byte[] text = Documents.bytes(Documents.aamva2014());
    long start = System.nanoTime();
    for (int i = 0; i < 100_000; ++i) {
      if (!"MICHAEL".equals(new Brevicon().parse(text).firstName)) throw new AssertionError("parse " + i);
    }
    long dropMs = (System.nanoTime() - start) / 1_000_000;
    long peakMb = residentKb("VmHWM") / 1024;
    System.out.printf("100000 dropped parsers in %d ms, peak resident %d MB%n", dropMs, peakMb);
    int failures = 0;
    if (peakMb >= 600) {
      System.out.println("FAIL: dropped parsers took the process to " + peakMb + " MB");
      ++failures;
    }

    try (Brevicon parser = new Brevicon()) {
      parser.setMaxInputSize(64 << 20);
      byte[] large = new byte[50 << 20];
      java.util.Arrays.fill(large, (byte) ' ');
      System.arraycopy(text, 0, large, 0, text.length);
      long before = residentKb("VmRSS") / 1024;
      if (!"MICHAEL".equals(parser.parse(large).firstName)) throw new AssertionError("large parse");
      large = null;
      System.gc(); // the direct copy of the input goes with its buffer
      Thread.sleep(200);
      long after = residentKb("VmRSS") / 1024;
      System.out.printf("a 50 MB parse: resident %d MB before, %d MB after%n", before, after);
      if (after > before + 40) {
        System.out.println("FAIL: the parser kept " + (after - before) + " MB after a 50 MB input");
        ++failures;
      }
      if (!"MICHAEL".equals(parser.parse(text).firstName)) throw new AssertionError("parse after the large one");
    }
    System.exit(failures == 0 ? 0 : 1);
  }
}
