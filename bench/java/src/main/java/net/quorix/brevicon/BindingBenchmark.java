package net.quorix.brevicon;

import java.io.IOException;
import java.nio.ByteBuffer;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.concurrent.TimeUnit;
import org.openjdk.jmh.annotations.Benchmark;
import org.openjdk.jmh.annotations.BenchmarkMode;
import org.openjdk.jmh.annotations.Fork;
import org.openjdk.jmh.annotations.Level;
import org.openjdk.jmh.annotations.Measurement;
import org.openjdk.jmh.annotations.Mode;
import org.openjdk.jmh.annotations.OutputTimeUnit;
import org.openjdk.jmh.annotations.Param;
import org.openjdk.jmh.annotations.Scope;
import org.openjdk.jmh.annotations.Setup;
import org.openjdk.jmh.annotations.State;
import org.openjdk.jmh.annotations.TearDown;
import org.openjdk.jmh.annotations.Warmup;

/**
 * One parse of a sample through Java, end to end: {@code perFieldPath} is what {@code parse(byte[])} did before
 * the bulk transfer (copy into a direct buffer, then one field lookup and one JNI write per field); {@code
 * parseBytes} is {@code parse(byte[])} now; {@code callerClass} is {@code parse(ByteBuffer, int, Object)} with its
 * cached field ids. It lives in the binding's package to reach the old entry point.
 */
@State(Scope.Thread)
@BenchmarkMode(Mode.Throughput)
@OutputTimeUnit(TimeUnit.SECONDS)
@Warmup(iterations = 3, time = 2)
@Measurement(iterations = 5, time = 2)
@Fork(1)
public class BindingBenchmark {
  @Param({"aamva-2016-typical.txt", "magstripe-three-tracks.txt"})
  public String sample;

  private Brevicon parser;
  private long handle;
  private byte[] text;
  private ByteBuffer direct;

  @Setup(Level.Trial)
  public void setUp() throws IOException, BreviconException {
    text = Files.readAllBytes(Path.of("bench", "samples", sample));
    parser = new Brevicon();
    handle = Brevicon.createNativeInstance();
    direct = ByteBuffer.allocateDirect(text.length).put(text);
    parser.parse(text); // a sample that does not parse would time the failure path
  }

  @TearDown(Level.Trial)
  public void tearDown() {
    parser.close();
    Brevicon.destroyNativeInstance(handle);
  }

  @Benchmark
  public BreviconResult perFieldPath() {
    direct.clear();
    direct.put(text);
    BreviconResult result = new BreviconResult();
    if (Brevicon.nativeParse(handle, result, direct, text.length) != 0) throw new IllegalStateException();
    return result;
  }

  @Benchmark
  public BreviconResult parseBytes() throws BreviconException {
    return parser.parse(text);
  }

  @Benchmark
  public BreviconResult callerClass() {
    BreviconResult result = new BreviconResult();
    if (parser.parse(direct, text.length, result) != 0) throw new IllegalStateException();
    return result;
  }
}
