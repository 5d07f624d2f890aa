package net.quorix.examples.spark;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Clock;
import java.time.Instant;
import java.time.ZoneOffset;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.Objects;
import java.util.TreeMap;
import java.util.stream.Collectors;
import java.util.stream.Stream;
import net.quorix.brevicon.Brevicon;
import net.quorix.brevicon.BreviconResult;
import org.apache.spark.sql.Row;
import org.apache.spark.sql.RowFactory;
import org.apache.spark.sql.SaveMode;
import org.apache.spark.sql.SparkSession;
import org.apache.spark.sql.types.DataTypes;
import org.apache.spark.sql.types.StructType;

/**
 * Writes a Parquet dataset of the golden texts in several partitions, runs the job over it on the master given by
 * {@code spark.master}, and checks every row it wrote against a parse of the same text on this thread, outside
 * Spark: the same status, decoder, edition and fields, and every scan exactly once. Exits 1 on any difference.
 *
 * <pre>VerifyParseScans GOLDEN_DIR WORK_DIR</pre>
 */
public final class VerifyParseScans {
  // The golden runner's default time; with it the job's results are those of the golden files.
  private static final Clock CLOCK = Clock.fixed(Instant.parse("2024-06-15T12:00:00Z"), ZoneOffset.UTC);
  // More partitions than task threads, so each thread parses several partitions, each with a parser of its own.
  private static final int PARTITIONS = 6;

  private VerifyParseScans() {}

  public static void main(String[] args) throws Exception {
    if (args.length != 2) {
      System.err.println("usage: VerifyParseScans GOLDEN_DIR WORK_DIR");
      System.exit(2);
    }
    Map<String, byte[]> texts = goldenTexts(Path.of(args[0]));
    String scans = Path.of(args[1], "scans.parquet").toString();
    String parsed = Path.of(args[1], "parsed.parquet").toString();

    SparkSession spark = SparkSession.builder().appName("verify-parse-scans").getOrCreate();
    List<String> problems;
    long jobMillis;
    try {
      StructType scanSchema =
          new StructType().add("id", DataTypes.StringType, false).add("text", DataTypes.BinaryType, false);
      List<Row> rows = new ArrayList<>();
      texts.forEach((id, text) -> rows.add(RowFactory.create(id, text)));
      spark.createDataFrame(rows, scanSchema).repartition(PARTITIONS).write().mode(SaveMode.Overwrite).parquet(scans);

      long start = System.nanoTime();
      ParseScans.run(spark, scans, parsed, CLOCK);
      jobMillis = (System.nanoTime() - start) / 1_000_000;
      problems = compare(texts, spark.read().parquet(parsed).collectAsList());
    } finally {
      spark.stop();
    }
    if (!problems.isEmpty()) {
      problems.forEach(System.err::println);
      System.err.println(problems.size() + " differences between the Spark job and the single-threaded parse");
      System.exit(1);
    }
    System.out.printf(
        "the Spark job's %d rows (%d partitions, %s) equal the single-threaded parse; the job took %d ms%n",
        texts.size(), PARTITIONS, System.getProperty("spark.master", "master from the session"), jobMillis);
  }

  /** Every golden input, by its path under the golden directory. */
  private static Map<String, byte[]> goldenTexts(Path golden) throws IOException {
    Map<String, byte[]> texts = new TreeMap<>();
    List<Path> inputs;
    try (Stream<Path> walk = Files.walk(golden)) {
      inputs = walk.filter(p -> p.toString().endsWith(".in")).collect(Collectors.toList());
    }
    for (Path input : inputs) texts.put(golden.relativize(input).toString(), Files.readAllBytes(input));
    return texts;
  }

  private static List<String> compare(Map<String, byte[]> texts, List<Row> rows) {
    List<String> problems = new ArrayList<>();
    Map<String, Row> byId = new TreeMap<>();
    for (Row row : rows) {
      if (byId.put(row.getAs("id"), row) != null) problems.add(row.getAs("id") + ": more than one row");
    }
    int parsed = 0;
    try (Brevicon parser = new Brevicon(CLOCK)) {
      for (Map.Entry<String, byte[]> scan : texts.entrySet()) {
        Row row = byId.get(scan.getKey());
        if (row == null) {
          problems.add(scan.getKey() + ": no row");
          continue;
        }
        BreviconResult expected = parser.tryParse(scan.getValue());
        parsed += expected.status() == 0 ? 1 : 0;
        check(problems, scan.getKey(), "status", expected.status(), row.getAs("status"));
        boolean ok = expected.status() == 0;
        check(problems, scan.getKey(), "decoderId", ok ? expected.decoderId() : null, row.getAs("decoderId"));
        check(problems, scan.getKey(), "standard", ok ? expected.standard() : null, row.getAs("standard"));
        Map<String, String> fields = expected.asMap();
        for (String field : BreviconResult.fieldNames()) {
          check(problems, scan.getKey(), field, fields.get(field), row.getAs(field));
        }
      }
    }
    if (rows.size() != texts.size()) problems.add(rows.size() + " rows for " + texts.size() + " scans");
    // A corpus that parsed nothing, or rejected nothing, would not show that both kinds of rows come through.
    if (parsed == 0 || parsed == texts.size()) problems.add(parsed + " of " + texts.size() + " scans parsed");
    return problems;
  }

  private static void check(List<String> problems, String id, String column, Object expected, Object actual) {
    if (!Objects.equals(expected, actual)) {
      problems.add(id + ": " + column + " is " + actual + " in the job's output, " + expected + " on one thread");
    }
  }
}
