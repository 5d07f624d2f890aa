package net.quorix.brevicon;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.File;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.TimeUnit;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * How the native library is found: an explicit path, java.library.path, or the copy in the jar; and what a failure
 * says. Each case runs in a JVM of its own, since a library is loaded once per JVM.
 */
class LibraryLoadingTest {
  /** Entry point of the child JVM: parses a document and prints the version and a field, or how loading failed. */
  public static void main(String[] args) throws Exception {
    try (Brevicon parser = new Brevicon()) {
      System.out.println(Brevicon.getVersion() + " " + parser.parse(Documents.bytes(Documents.aamva2014())).lastName);
    } catch (UnsatisfiedLinkError e) {
      System.out.println("UnsatisfiedLinkError: " + e.getMessage());
      System.exit(3);
    }
  }

  /** What a child that loaded the library prints; a method, since the child has no test libraries to load. */
  private static String loaded() {
    return requiredProperty("quorix.version") + " SAMPLE";
  }

  /** The jar users ship, which carries the library, and the tests. */
  private static String bundledClassPath() {
    return requiredProperty("quorix.test.classpath");
  }

  /** The classes alone, without the library, and the tests. */
  private static String classesOnlyClassPath() {
    return requiredProperty("quorix.test.classes.classpath");
  }

  private static String requiredProperty(String name) {
    String value = System.getProperty(name);
    assertTrue(value != null && !value.isEmpty(), "the test runner must set " + name);
    return value;
  }

  private static String runChild(int expectedExit, String classPath, String... properties) throws Exception {
    List<String> command = new ArrayList<>();
    command.add(System.getProperty("java.home") + File.separator + "bin" + File.separator + "java");
    for (String p : properties) command.add("-D" + p);
    command.add("-cp");
    command.add(classPath);
    command.add(LibraryLoadingTest.class.getName());
    ProcessBuilder builder = new ProcessBuilder(command).redirectErrorStream(true);
    builder.environment().remove("LD_LIBRARY_PATH"); // the jar must stand on its own
    Process child = builder.start();
    String output = new String(child.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
    assertTrue(child.waitFor(60, TimeUnit.SECONDS), "child JVM did not finish");
    assertEquals(expectedExit, child.exitValue(), output);
    return output.trim();
  }

  private static long filesIn(Path directory) throws Exception {
    try (Stream<Path> files = Files.list(directory)) {
      return files.count();
    }
  }

  @Test
  void explicitPathThatDoesNotExistIsNamed() throws Exception {
    String output =
        runChild(3, bundledClassPath(), Brevicon.LIBRARY_PATH_PROPERTY + "=/nowhere/libquorix_parser.so");
    assertTrue(output.contains("looked for /nowhere/libquorix_parser.so"), output);
    assertTrue(output.contains(Brevicon.LIBRARY_PATH_PROPERTY), output);
  }

  @Test
  void explicitPathToTheRealLibraryLoads() throws Exception {
    String library = System.getProperty("java.library.path") + File.separator + System.mapLibraryName("quorix_parser");
    assertEquals(loaded(), runChild(0, classesOnlyClassPath(), Brevicon.LIBRARY_PATH_PROPERTY + "=" + library));
  }

  @Test
  void libraryOnTheSearchPathLoadsWithoutTheJarCopy() throws Exception {
    String path = "java.library.path=" + System.getProperty("java.library.path");
    assertEquals(loaded(), runChild(0, classesOnlyClassPath(), path));
  }

  @Test
  void jarAloneParsesWithNoLibraryPath(@TempDir Path tmp) throws Exception {
    // Nothing on the search path: only the jar's own copy can serve. Its extracted file must not outlive the load.
    assertEquals(loaded(), runChild(0, bundledClassPath(), "java.library.path=/nowhere", "java.io.tmpdir=" + tmp));
    assertEquals(0, filesIn(tmp), "the extracted library was left in the temporary directory");
  }

  @Test
  void classesWithoutTheLibraryNameTheSearchPathAndThePlatform() throws Exception {
    String output = runChild(3, classesOnlyClassPath(), "java.library.path=/nowhere");
    assertAll(
        () -> assertTrue(output.contains(System.mapLibraryName("quorix_parser") + " on java.library.path=/nowhere")),
        () -> assertTrue(output.contains("this jar carries no copy for " + System.getProperty("os.name")), output));
  }

  @Test
  void unwritableTemporaryDirectoryIsNamed(@TempDir Path tmp) throws Exception {
    Path missing = tmp.resolve("missing");
    String output =
        runChild(3, bundledClassPath(), "java.library.path=/nowhere", "java.io.tmpdir=" + missing);
    assertTrue(output.contains("could not be loaded from java.io.tmpdir=" + missing), output);
  }

  @Test
  void bundledCopyIsKeptPerPlatform() {
    String linux = "native/linux-x86_64/" + System.mapLibraryName("quorix_parser");
    assertAll(
        () -> assertEquals(linux, Brevicon.nativeResource("Linux", "amd64")),
        () -> assertEquals(linux, Brevicon.nativeResource("Linux", "x86_64")),
        () -> assertNull(Brevicon.nativeResource("Linux", "aarch64")),
        () -> assertNull(Brevicon.nativeResource("Mac OS X", "x86_64")),
        () -> assertNull(Brevicon.nativeResource(null, "amd64")));
  }
}
