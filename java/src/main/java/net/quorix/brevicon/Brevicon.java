package net.quorix.brevicon;

import java.lang.ref.Cleaner;
import java.lang.ref.Reference;
import java.nio.ByteBuffer;

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
 * <p>The native library {@code quorix_parser} is looked up on {@code java.library.path}, unless the system property
 * {@value #LIBRARY_PATH_PROPERTY} names the full path of the file to load.
 */
public final class Brevicon implements AutoCloseable {
  /** System property holding the full path of the native library, for hosts that cannot set the library path. */
  public static final String LIBRARY_PATH_PROPERTY = "net.quorix.brevicon.library";

  /** Base name of the native library, as given to {@link System#loadLibrary}. */
  public static final String LIBRARY_NAME = "quorix_parser";

  private static final Cleaner CLEANER = Cleaner.create();

  static {
    loadNativeLibrary();
  }

  private final NativeInstance instance;
  private final Cleaner.Cleanable cleanable;
  private ByteBuffer scratch;

  /**
   * Creates a parser with its own native instance.
   *
   * @throws OutOfMemoryError when the native instance cannot be allocated
   */
  public Brevicon() {
    long handle = createNativeInstance();
    if (handle == 0) {
      throw new OutOfMemoryError("the native parser instance of " + LIBRARY_NAME + " could not be allocated");
    }
    instance = new NativeInstance(handle);
    cleanable = CLEANER.register(this, instance);
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
    if (text == null) throw new NullPointerException("text");
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
    return parse(buffer, text.length);
  }

  /**
   * Parses the first {@code length} bytes of a direct buffer, independently of its position and limit.
   *
   * @return a new result holding every field the document yields
   * @throws BreviconException when no decoder accepts the text or the parse fails
   * @throws IllegalArgumentException when the buffer is not direct or length lies outside 0..capacity
   * @throws IllegalStateException when this parser is closed
   */
  public synchronized BreviconResult parse(ByteBuffer text, int length) throws BreviconException {
    BreviconResult result = new BreviconResult();
    int status = parse(text, length, result);
    if (status != BreviconException.STATUS_OK) throw new BreviconException(status);
    return result;
  }

  /**
   * Parses the first {@code length} bytes of a direct buffer into a caller-supplied object, whose class declares
   * any of {@link BreviconResult}'s fields under the same names and types. Only fields the document yields are
   * written; the rest keep their values. Nothing is written when the parse fails.
   *
   * @return 0, or the negative status of a failed parse
   * @throws NoSuchFieldError when the result's class lacks a field the document has a value for; the fields that
   *     come before it in the order of {@link BreviconResult} have been written
   * @throws IllegalArgumentException when the buffer is not direct or length lies outside 0..capacity
   * @throws IllegalStateException when this parser is closed
   */
  public synchronized int parse(ByteBuffer text, int length, Object result) {
    if (instance.handle == 0) throw new IllegalStateException("this parser is closed");
    if (text == null || result == null) throw new NullPointerException(text == null ? "text" : "result");
    if (!text.isDirect()) throw new IllegalArgumentException("text must be a direct ByteBuffer");
    if (length < 0 || length > text.capacity()) {
      throw new IllegalArgumentException("length " + length + " outside 0.." + text.capacity());
    }
    try {
      return nativeParse(instance.handle, result, text, length);
    } finally {
      Reference.reachabilityFence(this); // no cleaning while native code runs
    }
  }

  /** Releases the native instance; later parses throw {@link IllegalStateException}. Calling it again does nothing. */
  @Override
  public synchronized void close() {
    cleanable.clean(); // runs the release at most once
  }

  /** Major version of the native library. */
  public static int getMajorVersion() {
    return nativeGetMajorVersion();
  }

  /** Minor version of the native library. */
  public static int getMinorVersion() {
    return nativeGetMinorVersion();
  }

  /** Build number of the native library. */
  public static int getBuildVersion() {
    return nativeGetBuildVersion();
  }

  /** Version text of the native library, for example "v.1.3.0". */
  public static String getVersion() {
    return nativeGetVersion();
  }

  private static void loadNativeLibrary() {
    String path = System.getProperty(LIBRARY_PATH_PROPERTY);
    try {
      if (path != null && !path.isEmpty()) {
        System.load(path);
      } else {
        System.loadLibrary(LIBRARY_NAME);
      }
    } catch (UnsatisfiedLinkError e) {
      String looked =
          path != null && !path.isEmpty()
              ? path + " (from " + LIBRARY_PATH_PROPERTY + ")"
              : System.mapLibraryName(LIBRARY_NAME)
                  + " on java.library.path="
                  + System.getProperty("java.library.path")
                  + "; set java.library.path, or "
                  + LIBRARY_PATH_PROPERTY
                  + " to the library's full path";
      UnsatisfiedLinkError clear = new UnsatisfiedLinkError("cannot load the native parser: looked for " + looked);
      clear.initCause(e);
      throw clear;
    }
  }

  // Owns the handle; must not refer to Brevicon, or the Cleaner would keep it reachable forever.
  private static final class NativeInstance implements Runnable {
    long handle;

    NativeInstance(long handle) {
      this.handle = handle;
    }

    @Override
    public void run() {
      long h = handle;
      handle = 0;
      if (h != 0) destroyNativeInstance(h);
    }
  }

  static native long createNativeInstance();

  static native void destroyNativeInstance(long handle);

  static native int nativeParse(long handle, Object result, ByteBuffer buffer, int length);

  static native int nativeGetMajorVersion();

  static native int nativeGetMinorVersion();

  static native int nativeGetBuildVersion();

  static native String nativeGetVersion();
}
