package net.quorix.brevicon;

import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.lang.ref.Cleaner;
import java.lang.ref.Reference;
import java.net.URL;
import java.nio.ByteBuffer;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.nio.file.attribute.PosixFilePermission;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.EnumSet;
import java.util.Set;

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

  private static final Cleaner CLEANER = Cleaner.create();

  private static final Set<PosixFilePermission> OWNER_ONLY =
      EnumSet.of(PosixFilePermission.OWNER_READ, PosixFilePermission.OWNER_WRITE);

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
   * @param text a direct buffer holding the raw bytes as the reader delivered them
   * @param length how many bytes, from the buffer's start, make up the document
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
