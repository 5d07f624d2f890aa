package net.quorix.examples.spark;

import java.time.Clock;
import java.util.ArrayList;
import java.util.List;
import net.quorix.brevicon.BreviconResult;
import org.apache.spark.api.java.function.MapPartitionsFunction;
import org.apache.spark.sql.Dataset;
import org.apache.spark.sql.Encoders;
import org.apache.spark.sql.Row;
import org.apache.spark.sql.SaveMode;
import org.apache.spark.sql.SparkSession;
import org.apache.spark.sql.types.DataTypes;
import org.apache.spark.sql.types.StructField;
import org.apache.spark.sql.types.StructType;

/**
 * A Spark job that parses a Parquet dataset of scanned texts and writes the results as Parquet, one parser per
 * partition.
 *
 * <p>The input has a column {@code id} (any type; written as a string) and a column {@code text}, binary: the bytes
 * as the reader delivered them. The output has one row per input row: {@code id}, {@code status} (0, or the negative
 * status of a text no decoder accepted), {@code decoderId} and {@code standard} (null for a rejected text), then one
 * string column per result field, named as {@link BreviconResult#fieldNames()} lists them and null where the
 * document does not yield the field; indicators read "1" or "0".
 *
 * <pre>ParseScans SCANS PARSED</pre>
 *
 * The master comes from spark-submit, or from {@code -Dspark.master=local[2]} when run with plain {@code java}.
 */
public final class ParseScans {
  private ParseScans() {}

  /** The columns the job writes, in order. */
  public static StructType resultSchema() {
    List<StructField> columns = new ArrayList<>();
    columns.add(DataTypes.createStructField("id", DataTypes.StringType, true));
    columns.add(DataTypes.createStructField("status", DataTypes.IntegerType, false));
    columns.add(DataTypes.createStructField("decoderId", DataTypes.IntegerType, true));
    columns.add(DataTypes.createStructField("standard", DataTypes.StringType, true));
    for (String field : BreviconResult.fieldNames()) {
      columns.add(DataTypes.createStructField(field, DataTypes.StringType, true));
    }
    return DataTypes.createStructType(columns);
  }

  /**
   * The parsed rows of a dataset of scans, computed as Spark reads them: each partition gets its own parser, which is
   * closed at the partition's end.
   *
   * @param scans rows with the columns {@code id} and {@code text} (binary)
   * @param clock the clock each parser reads the date from (it must be serializable, as {@link Clock#fixed} and
   *     {@link Clock#systemDefaultZone} are), or null for each executor's local clock
   */
  public static Dataset<Row> parse(Dataset<Row> scans, Clock clock) {
    Dataset<Row> input = scans.selectExpr("CAST(id AS STRING) AS id", "text");
    return input.mapPartitions(
        (MapPartitionsFunction<Row, Row>) rows -> new ParsingIterator(rows, clock), Encoders.row(resultSchema()));
  }

  /** Reads the scans at one path, parses them and writes the results to another, replacing what was there. */
  public static void run(SparkSession spark, String scans, String parsed, Clock clock) {
    parse(spark.read().parquet(scans), clock).write().mode(SaveMode.Overwrite).parquet(parsed);
  }

  public static void main(String[] args) {
    if (args.length != 2) {
      System.err.println("usage: ParseScans SCANS PARSED   (Parquet paths: id and text in, one column per field out)");
      System.exit(2);
    }
    SparkSession spark = SparkSession.builder().appName("parse-scans").getOrCreate();
    try {
      run(spark, args[0], args[1], null);
    } finally {
      spark.stop();
    }
  }
}
