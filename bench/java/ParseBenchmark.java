// Times Brevicon.parse end to end from Java: the copy into the direct buffer, the native parse, the 40 derivations and
// the result object with its fields. Run by hand against a Release build (see the README's Performance section):
//
//   java -cp build/release/brevicon.jar -Djava.library.path=build/release \
//       bench/java/ParseBenchmark.java bench/samples/aamva-2016-typical.txt bench/samples/magstripe-three-tracks.txt
//
// Each file is parsed in a warm-up of a few seconds, then in several timed runs; the median run is printed.
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Arrays;
import net.quorix.brevicon.Brevicon;
import net.quorix.brevicon.BreviconException;
import net.quorix.brevicon.BreviconResult;

public final class ParseBenchmark {
  private static final int RUNS = 7;
  private static final long RUN_NANOS = 1_000_000_000L;
  private static final long WARM_UP_NANOS = 3_000_000_000L;

  private static long sink;

  public static void main(String[] args) throws Exception {
    if (args.length == 0) {
      System.err.println("usage: ParseBenchmark FILE...");
      System.exit(2);
    }
    System.out.printf("Java %s, %s %s, %d cores, median of %d runs of %d ms%n", Runtime.version(),
        System.getProperty("os.name"), System.getProperty("os.arch"), Runtime.getRuntime().availableProcessors(), RUNS,
        RUN_NANOS / 1_000_000);
    System.out.printf("%-32s %6s %12s %10s%n", "text", "bytes", "parses/s", "ns/parse");
    try (Brevicon parser = new Brevicon()) {
      for (String file : args) {
        byte[] text = Files.readAllBytes(Path.of(file));
        BreviconResult check = parser.parse(text);  // a text that does not parse would time the failure path
        if (check.lastName == null && check.fullName == null) {
          System.err.println(file + ": parses without a name");
        }
        runFor(parser, text, WARM_UP_NANOS);
        double[] rates = new double[RUNS];
        for (int run = 0; run < RUNS; ++run) rates[run] = runFor(parser, text, RUN_NANOS);
        Arrays.sort(rates);
        double median = rates[RUNS / 2];
        System.out.printf("%-32s %6d %12.0f %10.0f%n", Path.of(file).getFileName(), text.length, median, 1e9 / median);
      }
    }
    if (sink == 42) System.out.println();
  }

  // Parses for about the given time and returns parses per second.
  private static double runFor(Brevicon parser, byte[] text, long nanos) throws BreviconException {
    long parses = 0;
    long start = System.nanoTime();
    long elapsed;
    do {
      for (int i = 0; i < 1000; ++i) {
        BreviconResult result = parser.parse(text);
        sink += result.lastName != null ? result.lastName.length() : 0;
      }
      parses += 1000;
      elapsed = System.nanoTime() - start;
    } while (elapsed < nanos);
    return parses * 1e9 / elapsed;
  }
}
