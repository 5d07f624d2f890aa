package net.quorix.examples.spark;

import java.time.Clock;
import java.util.Iterator;
import java.util.List;
import java.util.Map;
import java.util.NoSuchElementException;
import net.quorix.brevicon.Brevicon;
import net.quorix.brevicon.BreviconException;
import net.quorix.brevicon.BreviconResult;
import org.apache.spark.TaskContext;
import org.apache.spark.sql.Row;
import org.apache.spark.sql.RowFactory;
import org.apache.spark.util.TaskCompletionListener;

/**
 * The rows of one partition, each parsed when Spark asks for it, so a partition never has to fit in memory. One
 * parser serves the whole partition; it is closed when the rows run out, or when the task ends before reading them
 * all (a {@code limit}, a failure), so no native memory outlives the task.
 */
final class ParsingIterator implements Iterator<Row> {
  private static final List<String> FIELDS = BreviconResult.fieldNames();

  private final Iterator<Row> scans;
  private final Brevicon parser;
  private boolean closed;

  ParsingIterator(Iterator<Row> scans, Clock clock) {
    this.scans = scans;
    this.parser = new Brevicon(clock);
    TaskContext task = TaskContext.get();
    if (task != null) task.addTaskCompletionListener((TaskCompletionListener) context -> close());
  }

  @Override
  public boolean hasNext() {
    if (closed) return false;
    if (scans.hasNext()) return true;
    close();
    return false;
  }

  @Override
  public Row next() {
    if (!hasNext()) throw new NoSuchElementException();
    Row scan = scans.next();
    byte[] text = scan.getAs("text");
    Object[] values = new Object[4 + FIELDS.size()];
    values[0] = scan.getAs("id");
    if (text == null) {
      values[1] = BreviconException.STATUS_NO_INPUT;
      return RowFactory.create(values);
    }
    BreviconResult result = parser.tryParse(text);
    values[1] = result.status();
    if (result.status() != 0) return RowFactory.create(values);
    values[2] = result.decoderId();
    values[3] = result.standard();
    Map<String, String> fields = result.asMap();
    for (int i = 0; i < FIELDS.size(); ++i) values[4 + i] = fields.get(FIELDS.get(i));
    return RowFactory.create(values);
  }

  private void close() {
    closed = true;
    parser.close();
  }
}
