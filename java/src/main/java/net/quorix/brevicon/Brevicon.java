package net.quorix.brevicon;

import java.awt.image.BufferedImage;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.lang.ref.Cleaner;
import java.lang.ref.Reference;
import java.net.URL;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.nio.file.attribute.PosixFilePermission;
import java.nio.file.attribute.PosixFilePermissions;
import java.time.Clock;
import java.time.LocalDateTime;
import java.util.Collections;
import java.util.EnumSet;
import java.util.LinkedHashMap;
import java.util.LinkedHashSet;
import java.util.Map;
import java.util.Objects;
import java.util.Set;
import java.util.concurrent.atomic.AtomicLong;

/**
 * Parses the decoded text of an identity document's machine-readable zone (licence barcodes, magnetic stripe tracks,
 * Common Access Card barcodes, national identity card barcodes) into a {@link BreviconResult}.
 *
 * <p>Each instance owns one native parser, whose buffers grow with the largest input it has seen and are reused by
 * later parses. An instance serves one thread at a time: its methods are synchronized, so several threads sharing
 * one instance take turns; give each thread its own instance to parse in parallel. Close the instance when done
 * with it; an instance that is forgotten is freed once it becomes unreachable.
 *
 * <pre>{@code
 * try (Brevicon parser = new Brevicon()) {
 *   BreviconResult result = parser.parse(barcodeText);
 *   System.out.println(result.lastName + ", " + result.firstName + " " + result.expirationDate);
 * } catch (BreviconException e) {
 *   System.err.println(e.getMessage() + " (" + e.getStatus() + ")");
 * }
 * }</pre>
 *
 * <p>The native library {@code quorix_parser} is loaded once, when the class is first used: from the file the system
 * property {@value #LIBRARY_PATH_PROPERTY} names, when it is set; otherwise from {@code java.library.path}, and when
 * it is not found there, from the copy this jar carries for the running platform (linux-x86_64), extracted to a
 * private temporary file under {@code java.io.tmpdir} that is removed again once loaded. When none of these works,
 * the first use throws an {@link UnsatisfiedLinkError} saying where the library was looked for.
 */
public final class Brevicon implements AutoCloseable {
  /** System property holding the full path of the native library, for hosts that cannot set the library path. */
  public static final String LIBRARY_PATH_PROPERTY = "net.quorix.brevicon.library";

  /** Base name of the native library, as given to {@link System#loadLibrary}. */
  public static final String LIBRARY_NAME = "quorix_parser";

  /** Default of {@link #getMaxInputSize()}: 16 MiB. */
  public static final int DEFAULT_MAX_INPUT_SIZE = 16 << 20;

  private static final Cleaner CLEANER = Cleaner.create();

  // Buffers that held an input or a result above this size are dropped after the parse, as the native ones are.
  private static final int LARGE_BUFFER = 1 << 20;

  // Native and direct memory that instances not yet cleaned hold. The JVM does not see it, so a program that drops
  // many instances unclosed would not collect them before it runs out; above the budget a new instance first asks
  // for a collection, as direct buffers do. The budget rises when live instances really hold more.
  private static final long NATIVE_BUDGET = 64L << 20;
  private static final AtomicLong NATIVE_HELD = new AtomicLong();
  private static volatile long nativeBudget = NATIVE_BUDGET;
  // What an instance holds besides its buffers: the parser instance with its record.
  private static final int INSTANCE_BYTES = 4096;
  // The native buffers: text, arena and a spare of three times their size.
  private static final int BUFFER_FACTOR = 5;
  private static final int MINIMUM_BUFFER = 8192;

  private static final Set<PosixFilePermission> OWNER_ONLY =
      EnumSet.of(PosixFilePermission.OWNER_READ, PosixFilePermission.OWNER_WRITE);

  static {
    loadNativeLibrary();
  }

  private static final String[] REPAIR_NAMES = nativeRepairNames();
  private static final boolean IMAGE_SUPPORTED = nativeImageSupported();
  // What the parser for pictures holds, a parser instance of its own with its buffers.
  private static final int IMAGE_PARSER_BYTES = 64 << 10;
  private static final String[] EXTRA_NAMES = nativeExtraNames();

  // The caller-class path looks each class's field ids up once; they live as long as the class does.
  private static final ClassValue<long[]> FIELD_IDS =
      new ClassValue<>() {
        @Override
        protected long[] computeValue(Class<?> type) {
          return nativeFieldIds(type);
        }
      };

  private final NativeInstance instance;
  private final Cleaner.Cleanable cleanable;
  private final Clock clock;
  private int maxInputSize = DEFAULT_MAX_INPUT_SIZE;
  private ByteBuffer scratch;
  private ByteBuffer resultBuffer;
  private byte[] resultBytes;
  private ByteBuffer resultView;

  /**
   * Creates a parser with its own native instance, reading dates against the local clock at every parse.
   *
   * @throws OutOfMemoryError when the native instance cannot be allocated
   */
  public Brevicon() {
    this(null);
  }

  /**
   * Creates a parser whose parses read the time from the given clock, in the clock's zone: results that depend on
   * the date (a stripe's two-digit years) are then reproducible.
   *
   * @param clock the clock, or null for the local clock
   * @throws OutOfMemoryError when the native instance cannot be allocated
   */
  public Brevicon(Clock clock) {
    this.clock = clock;
    reclaimIfOverBudget();
    long handle = createNativeInstance();
    if (handle == 0) {
      throw new OutOfMemoryError("the native parser instance of " + LIBRARY_NAME + " could not be allocated");
    }
    instance = new NativeInstance(handle);
    cleanable = CLEANER.register(this, instance);
    nativeSetMaxInputLength(handle, maxInputSize);
  }

  /**
   * The longest input this parser accepts; longer ones fail with {@link BreviconException#STATUS_INPUT_TOO_LARGE}
   * before any memory is set aside for them.
   *
   * @return the limit in bytes, {@link #DEFAULT_MAX_INPUT_SIZE} unless changed
   */
  public synchronized int getMaxInputSize() {
    return maxInputSize;
  }

  /**
   * Changes the longest input this parser accepts. A parse needs about five times the input in native memory while
   * it runs; buffers grown beyond 1 MiB are returned after each parse.
   *
   * @param bytes the new limit, at least 1
   * @throws IllegalArgumentException when bytes is below 1
   * @throws IllegalStateException when this parser is closed
   */
  public synchronized void setMaxInputSize(int bytes) {
    if (bytes < 1) throw new IllegalArgumentException("limit " + bytes + " below 1");
    long handle = openHandle();
    maxInputSize = bytes;
    try {
      nativeSetMaxInputLength(handle, bytes);
    } finally {
      Reference.reachabilityFence(this);
    }
  }

  /**
   * Parses a document's text, and reports a failure in the result instead of throwing, for use in streams: {@code
   * texts.stream().map(parser::tryParse)}.
   *
   * @param text the raw bytes as the reader delivered them; copied, so the caller may reuse the array
   * @return a new result; {@link BreviconResult#status()} is 0, or the negative status with no field set
   * @throws IllegalStateException when this parser is closed
   */
  public synchronized BreviconResult tryParse(byte[] text) {
    if (text == null) throw new NullPointerException("text");
    if (text.length > maxInputSize) return BreviconResult.failed(BreviconException.STATUS_INPUT_TOO_LARGE);
    ByteBuffer buffer = scratchFor(text);
    BreviconResult result = parseBulk(buffer, text.length);
    if (scratch.capacity() > LARGE_BUFFER) scratch = null;
    account(text.length);
    return result;
  }

  /**
   * Parses a document's text given as characters U+0000 to U+00FF, one byte each (ISO-8859-1), as a reader that
   * delivers a String would.
   *
   * @param text the document's text
   * @return a new result holding every field the document yields
   * @throws BreviconException when no decoder accepts the text or the parse fails
   * @throws IllegalArgumentException when a character lies above U+00FF
   * @throws IllegalStateException when this parser is closed
   */
  public BreviconResult parse(String text) throws BreviconException {
    if (text == null) throw new NullPointerException("text");
    for (int i = 0; i < text.length(); ++i) {
      if (text.charAt(i) > 0xFF) {
        throw new IllegalArgumentException(
            String.format("character U+%04X at %d lies outside U+0000 to U+00FF", (int) text.charAt(i), i));
      }
    }
    return parse(text.getBytes(StandardCharsets.ISO_8859_1));
  }

  /**
   * Parses a document's text.
   *
   * @param text the raw bytes as the reader delivered them; copied, so the caller may reuse the array
   * @return a new result holding every field the document yields
   * @throws BreviconException when no decoder accepts the text or the parse fails
   * @throws IllegalStateException when this parser is closed
   */
  public synchronized BreviconResult parse(byte[] text) throws BreviconException {
    return checked(tryParse(text));
  }

  private static BreviconResult checked(BreviconResult result) throws BreviconException {
    if (result.status() != BreviconException.STATUS_OK) throw new BreviconException(result.status());
    return result;
  }

  private ByteBuffer scratchFor(byte[] text) {
    ByteBuffer buffer = scratch;
    if (buffer == null || buffer.capacity() < text.length) {
      // Grow geometrically, so a run of slowly growing inputs does not reallocate every time.
      int doubled = buffer == null ? 1024 : Math.min(Integer.MAX_VALUE / 2, buffer.capacity()) * 2;
      int capacity = Math.max(text.length, doubled);
      buffer = ByteBuffer.allocateDirect(capacity);
      scratch = buffer;
    }
    buffer.clear();
    buffer.put(text);
    return buffer;
  }

  private static void reclaimIfOverBudget() {
    if (NATIVE_HELD.get() <= nativeBudget) return;
    System.gc();
    try {
      for (int wait = 0; wait < 50 && NATIVE_HELD.get() > nativeBudget / 2; ++wait) Thread.sleep(1);
    } catch (InterruptedException e) {
      Thread.currentThread().interrupt();
    }
    nativeBudget = Math.max(NATIVE_BUDGET, 2 * NATIVE_HELD.get());
  }

  // Records what this instance holds after a parse of length bytes: the native buffers are at least the minimum
  // and, after an input above 1 MiB, released again.
  private void account(int length) {
    long buffers = (long) Math.max(MINIMUM_BUFFER, length + 2) * BUFFER_FACTOR;
    long nativeBytes = length + 2L > LARGE_BUFFER ? 0 : Math.max(instance.buffers, buffers);
    long direct = (scratch == null ? 0 : scratch.capacity()) + (resultBuffer == null ? 0 : resultBuffer.capacity());
    instance.account(nativeBytes, direct);
  }

  private long openHandle() {
    if (instance.handle == 0) throw new IllegalStateException("this parser is closed");
    return instance.handle;
  }

  // The clock as the natives take it: YYYYMMDDhhmmss, or -1 for the local clock.
  private long nowValue() {
    if (clock == null) return -1;
    LocalDateTime t = LocalDateTime.now(clock);
    return ((((t.getYear() * 100L + t.getMonthValue()) * 100 + t.getDayOfMonth()) * 100 + t.getHour()) * 100
            + t.getMinute())
        * 100
        + t.getSecond();
  }

  // One native call parses and writes every value into the result buffer; Java then makes the strings from one
  // copy of it. The parse leaves printable ASCII only, so ISO-8859-1 gives the strings the per-field path gives.
  private BreviconResult parseBulk(ByteBuffer text, int length) {
    long handle = openHandle();
    if (resultBuffer == null) allocateResult(4096);
    try {
      int status = nativeParseInto(handle, text, length, resultBuffer, nowValue());
      if (status != BreviconException.STATUS_OK) return BreviconResult.failed(status);
      return collectResult(handle, false);
    } finally {
      Reference.reachabilityFence(this);
      dropLargeResult();
    }
  }

  // Reads the bulk result a native parse left in the result buffer; when it did not fit, the buffer grows and the
  // native side writes it again.
  private BreviconResult collectResult(long handle, boolean image) {
    int needed = resultBuffer.getInt(0);
    if (needed > resultBuffer.capacity()) {
      allocateResult(needed);
      needed = image ? nativeWriteImageResult(handle, resultBuffer) : nativeWriteResult(handle, resultBuffer);
      if (needed < 0) return BreviconResult.failed(needed);
    }
    resultBuffer.clear();
    resultBuffer.get(resultBytes, 0, needed);
    return readResult();
  }

  private void dropLargeResult() {
    if (resultBuffer.capacity() > LARGE_BUFFER) {
      resultBuffer = null;
      resultBytes = null;
      resultView = null;
    }
  }

  /**
   * Whether {@link #parseImage} reads pictures: true when the native library was built with its image component.
   *
   * @return true when pictures can be parsed
   */
  public static boolean isImageSupported() {
    return IMAGE_SUPPORTED;
  }

  /**
   * Finds the barcode in a picture of a document (PDF417, Code 128 or QR) and parses the bytes it encodes, exactly as
   * encoded. With several symbols in the picture, the one whose text the parser reads most of wins. A grey image is
   * read as it is; any other is read as RGB, with transparent pixels taken as white.
   *
   * @param image the picture, for example from {@link javax.imageio.ImageIO#read(java.io.File)}
   * @return a new result whose {@link BreviconResult#symbolFormat()} and {@link BreviconResult#symbolPosition()} say
   *     which symbol it was read from
   * @throws BreviconException {@link BreviconException#STATUS_NO_BARCODE} when no symbol can be read; the status of
   *     the parse (such as {@link BreviconException#STATUS_NO_DECODER}) when no decoder accepts the symbol's text
   * @throws UnsupportedOperationException when the native library was built without the image component (see
   *     {@link #isImageSupported()})
   * @throws IllegalArgumentException when the picture has more than {@code Integer.MAX_VALUE} bytes as RGB
   * @throws IllegalStateException when this parser is closed
   */
  public synchronized BreviconResult parseImage(BufferedImage image) throws BreviconException {
    if (image == null) throw new NullPointerException("image");
    if (!IMAGE_SUPPORTED) {
      throw new UnsupportedOperationException(LIBRARY_NAME + " was built without the image component");
    }
    openHandle();
    ImagePixels pixels = ImagePixels.of(image);
    long handle = imageHandle();
    if (resultBuffer == null) allocateResult(4096);
    int[] corners = new int[8];
    try {
      int status =
          nativeParseImageInto(
              handle, pixels.buffer, pixels.width, pixels.height, pixels.rowStride, pixels.format, resultBuffer,
              nowValue(), corners);
      BreviconResult result = status == BreviconException.STATUS_OK ? collectResult(handle, true) : null;
      if (result == null || result.status() != BreviconException.STATUS_OK) {
        throw new BreviconException(result == null ? status : result.status());
      }
      result.setSymbol(nativeSymbolFormat(handle), corners);
      return result;
    } finally {
      Reference.reachabilityFence(this);
      dropLargeResult();
    }
  }

  // Pictures go through a native parser of their own, made when the first one comes.
  private long imageHandle() {
    if (instance.imageHandle == 0) {
      long handle = createImageParser();
      if (handle == 0) throw new OutOfMemoryError("the native parser for pictures could not be allocated");
      instance.imageHandle = handle;
      account(0);
    }
    return instance.imageHandle;
  }

  private void allocateResult(int capacity) {
    resultBuffer = ByteBuffer.allocateDirect(capacity).order(ByteOrder.nativeOrder());
    if (resultBytes == null || resultBytes.length < capacity) {
      resultBytes = new byte[capacity];
      resultView = ByteBuffer.wrap(resultBytes).order(ByteOrder.nativeOrder());
    }
  }

  private BreviconResult readResult() {
    ByteBuffer in = resultView;
    in.clear();
    in.position(4);
    int group = in.getInt();
    int id = in.getInt();
    int repairBits = in.getInt();
    in.getInt(); // the native bytes the instance holds, for diagnostics
    BreviconResult result = new BreviconResult();
    for (int i = 0; i < BreviconResult.FIELD_COUNT; ++i) {
      int value = in.getInt();
      if (isFlag(i)) {
        result.setFlag(i, value);
      } else if (value >= 0) {
        result.setText(i, text(in, value));
      }
    }
    int standardLength = in.getInt();
    String standard = standardLength >= 0 ? text(in, standardLength) : null;
    Set<String> repairs = Set.of();
    if (repairBits != 0) {
      Set<String> names = new LinkedHashSet<>();
      for (int bit = 0; bit < REPAIR_NAMES.length; ++bit) {
        if ((repairBits & (1 << bit)) != 0) names.add(REPAIR_NAMES[bit]);
      }
      repairs = Collections.unmodifiableSet(names);
    }
    Map<String, String> extras = null;
    for (String name : EXTRA_NAMES) {
      int extraLength = in.getInt();
      if (extraLength < 0) continue;
      if (extras == null) extras = new LinkedHashMap<>();
      extras.put(name, text(in, extraLength));
    }
    result.setDecoder(group, id, standard, repairs, extras == null ? Map.of() : Collections.unmodifiableMap(extras));
    return result;
  }

  private static boolean isFlag(int field) {
    return field >= 35 && field <= 37;
  }

  private String text(ByteBuffer in, int length) {
    int at = in.position();
    in.position(at + length);
    return new String(resultBytes, at, length, StandardCharsets.ISO_8859_1);
  }

  /**
   * Parses the first {@code length} bytes of a direct buffer, independently of its position and limit.
   *
   * @param text a direct buffer holding the raw bytes as the reader delivered them
   * @param length how many bytes, from the buffer's start, make up the document
   * @return a new result holding every field the document yields
   * @throws BreviconException when no decoder accepts the text or the parse fails
   * @throws IllegalArgumentException when the buffer is not direct or length lies outside 0..capacity
   * @throws IllegalStateException when this parser is closed
   */
  public synchronized BreviconResult parse(ByteBuffer text, int length) throws BreviconException {
    checkArguments(text, length, this);
    BreviconResult result = parseBulk(text, length);
    account(length);
    return checked(result);
  }

  private void checkArguments(ByteBuffer text, int length, Object result) {
    if (instance.handle == 0) throw new IllegalStateException("this parser is closed");
    if (text == null || result == null) throw new NullPointerException(text == null ? "text" : "result");
    if (!text.isDirect()) throw new IllegalArgumentException("text must be a direct ByteBuffer");
    if (length < 0 || length > text.capacity()) {
      throw new IllegalArgumentException("length " + length + " outside 0.." + text.capacity());
    }
  }

  /**
   * Parses the first {@code length} bytes of a direct buffer into a caller-supplied object, whose class declares
   * any of {@link BreviconResult}'s fields under the same names and types. Only fields the document yields are
   * written; the rest keep their values. Nothing is written when the parse fails.
   *
   * @param text a direct buffer holding the raw bytes as the reader delivered them
   * @param length how many bytes, from the buffer's start, make up the document
   * @param result the object the derived fields are written to
   * @return 0, or the negative status of a failed parse
   * @throws NoSuchFieldError when the result's class lacks a field the document has a value for; the fields that
   *     come before it in the order of {@link BreviconResult} have been written
   * @throws IllegalArgumentException when the buffer is not direct or length lies outside 0..capacity
   * @throws IllegalStateException when this parser is closed
   */
  public synchronized int parse(ByteBuffer text, int length, Object result) {
    checkArguments(text, length, result);
    try {
      return nativeParseFields(instance.handle, result, text, length, FIELD_IDS.get(result.getClass()), nowValue());
    } finally {
      account(length);
      Reference.reachabilityFence(this); // no cleaning while native code runs
    }
  }

  /** Releases the native instance; later parses throw {@link IllegalStateException}. Calling it again does nothing. */
  @Override
  public synchronized void close() {
    cleanable.clean(); // runs the release at most once
  }

  /**
   * Major version of the native library; it changes when results or the binding change incompatibly.
   *
   * @return the major version, for example 1
   */
  public static int getMajorVersion() {
    return nativeGetMajorVersion();
  }

  /**
   * Minor version of the native library.
   *
   * @return the minor version, for example 3
   */
  public static int getMinorVersion() {
    return nativeGetMinorVersion();
  }

  /**
   * Build number of the native library.
   *
   * @return the build number, for example 0
   */
  public static int getBuildVersion() {
    return nativeGetBuildVersion();
  }

  /**
   * Version text of the native library.
   *
   * @return the version as text, for example "v.1.3.0"
   */
  public static String getVersion() {
    return nativeGetVersion();
  }

  private static void loadNativeLibrary() {
    String path = System.getProperty(LIBRARY_PATH_PROPERTY);
    if (path != null && !path.isEmpty()) {
      try {
        System.load(path);
      } catch (UnsatisfiedLinkError e) {
        throw loadError(path + " (from " + LIBRARY_PATH_PROPERTY + ")", e);
      }
      return;
    }
    try {
      System.loadLibrary(LIBRARY_NAME);
      return;
    } catch (UnsatisfiedLinkError e) {
      String looked =
          System.mapLibraryName(LIBRARY_NAME) + " on java.library.path=" + System.getProperty("java.library.path");
      String resource = nativeResource(System.getProperty("os.name"), System.getProperty("os.arch"));
      URL bundled = resource == null ? null : Brevicon.class.getResource(resource);
      if (bundled == null) {
        String platform = System.getProperty("os.name") + "/" + System.getProperty("os.arch");
        throw loadError(looked + ", and this jar carries no copy for " + platform, e);
      }
      loadBundled(bundled, looked);
    }
  }

  /**
   * Where a jar built for the platform keeps the native library, or null for a platform it is never built for.
   * Platform names follow the JVM's {@code os.name} and {@code os.arch}.
   */
  static String nativeResource(String osName, String osArch) {
    if (osName == null || osArch == null || !osName.startsWith("Linux")) return null;
    if (!osArch.equals("amd64") && !osArch.equals("x86_64")) return null;
    return "native/linux-x86_64/" + System.mapLibraryName(LIBRARY_NAME);
  }

  // Copies the bundled library to a file only this user can read, loads it and deletes it: the loaded mapping
  // outlives the name, and nothing is left behind in the temporary directory even when the JVM is killed later.
  private static void loadBundled(URL bundled, String looked) {
    Path file = null;
    try {
      file = Files.createTempFile(LIBRARY_NAME + "-", ".so", PosixFilePermissions.asFileAttribute(OWNER_ONLY));
      try (InputStream in = bundled.openStream();
          OutputStream out = Files.newOutputStream(file, StandardOpenOption.WRITE)) {
        in.transferTo(out);
      }
      System.load(file.toString());
    } catch (IOException | UnsatisfiedLinkError | UnsupportedOperationException e) {
      String where = file != null ? file.toString() : "java.io.tmpdir=" + System.getProperty("java.io.tmpdir");
      throw loadError(looked + ", and the copy in this jar could not be loaded from " + where, e);
    } finally {
      if (file != null) {
        try {
          Files.deleteIfExists(file);
        } catch (IOException ignored) {
          // The library is loaded or the error is on its way; a stray file is all that is left.
        }
      }
    }
  }

  private static UnsatisfiedLinkError loadError(String looked, Throwable cause) {
    UnsatisfiedLinkError clear =
        new UnsatisfiedLinkError(
            "cannot load the native parser: looked for "
                + looked
                + "; set java.library.path, or "
                + LIBRARY_PATH_PROPERTY
                + " to the library's full path");
    clear.initCause(cause);
    return clear;
  }

  // Owns the handle; must not refer to Brevicon, or the Cleaner would keep it reachable forever.
  private static final class NativeInstance implements Runnable {
    long handle;
    long imageHandle; // the parser for pictures, 0 until the first picture
    long buffers; // the native buffers, as account() estimates them
    private long held; // what this instance adds to NATIVE_HELD

    NativeInstance(long handle) {
      this.handle = handle;
      account(0, 0);
    }

    synchronized void account(long nativeBuffers, long direct) {
      buffers = nativeBuffers;
      long now = INSTANCE_BYTES + nativeBuffers + direct + (imageHandle != 0 ? IMAGE_PARSER_BYTES : 0);
      NATIVE_HELD.addAndGet(now - held);
      held = now;
    }

    @Override
    public synchronized void run() {
      long h = handle;
      handle = 0;
      NATIVE_HELD.addAndGet(-held);
      held = 0;
      if (h != 0) destroyNativeInstance(h);
      if (imageHandle != 0) destroyImageParser(imageHandle);
      imageHandle = 0;
    }
  }

  static native long createNativeInstance();

  static native void destroyNativeInstance(long handle);

  static native int nativeParse(long handle, Object result, ByteBuffer buffer, int length);

  static native long[] nativeFieldIds(Class<?> type);

  static native int nativeParseFields(
      long handle, Object result, ByteBuffer buffer, int length, long[] fieldIds, long now);

  static native int nativeParseInto(long handle, ByteBuffer buffer, int length, ByteBuffer out, long now);

  static native int nativeWriteResult(long handle, ByteBuffer out);

  static native void nativeSetMaxInputLength(long handle, int maxLength);

  static native boolean nativeImageSupported();

  static native long createImageParser();

  static native void destroyImageParser(long imageHandle);

  static native int nativeParseImageInto(
      long imageHandle,
      ByteBuffer pixels,
      int width,
      int height,
      int rowStride,
      int pixelFormat,
      ByteBuffer out,
      long now,
      int[] corners);

  static native int nativeWriteImageResult(long imageHandle, ByteBuffer out);

  static native String nativeSymbolFormat(long imageHandle);

  static native String[] nativeRepairNames();

  static native String[] nativeExtraNames();

  static native boolean nativeIsExpired(int expiry, int on);

  static native int nativeAgeOn(int birth, int on);

  static native boolean nativeIsAtLeast(int years, int on, int birth, int under18, int under19, int under21);

  static native int nativeGetMajorVersion();

  static native int nativeGetMinorVersion();

  static native int nativeGetBuildVersion();

  static native String nativeGetVersion();
}
