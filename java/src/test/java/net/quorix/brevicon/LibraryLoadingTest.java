package net.quorix.brevicon;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.File;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.TimeUnit;
import org.junit.jupiter.api.Test;

/** A library that cannot be loaded must say what was looked for; each case runs in a JVM of its own. */
class LibraryLoadingTest {
  /** Entry point of the child JVM: touches Brevicon and reports how loading ended. */
  public static void main(String[] args) {
    try {
      System.out.println(Brevicon.getVersion());
    } catch (UnsatisfiedLinkError e) {
      System.out.println("UnsatisfiedLinkError: " + e.getMessage());
      System.exit(3);
    }
  }

  private static String runChild(int expectedExit, String... properties) throws Exception {
    String classPath = System.getProperty("quorix.test.classpath");
    assertTrue(classPath != null, "the test runner must set quorix.test.classpath");
    List<String> command = new ArrayList<>();
    command.add(System.getProperty("java.home") + File.separator + "bin" + File.separator + "java");
    for (String p : properties) command.add("-D" + p);
    command.add("-cp");
    command.add(classPath);
    command.add(LibraryLoadingTest.class.getName());
    Process child = new ProcessBuilder(command).redirectErrorStream(true).start();
    String output = new String(child.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
    assertTrue(child.waitFor(60, TimeUnit.SECONDS), "child JVM did not finish");
    assertEquals(expectedExit, child.exitValue(), output);
    return output;
  }

  @Test
  void explicitPathThatDoesNotExistIsNamed() throws Exception {
    String output = runChild(3, Brevicon.LIBRARY_PATH_PROPERTY + "=/nowhere/libquorix_parser.so");
    assertTrue(output.contains("looked for /nowhere/libquorix_parser.so"), output);
    assertTrue(output.contains(Brevicon.LIBRARY_PATH_PROPERTY), output);
  }

  @Test
  void libraryMissingFromTheSearchPathIsNamedWithThePath() throws Exception {
    String output = runChild(3, "java.library.path=/nowhere");
    assertTrue(output.contains(System.mapLibraryName("quorix_parser") + " on java.library.path=/nowhere"), output);
  }

  @Test
  void explicitPathToTheRealLibraryLoads() throws Exception {
    String library = System.getProperty("java.library.path") + File.separator + System.mapLibraryName("quorix_parser");
    assertEquals("v.1.3.0", runChild(0, Brevicon.LIBRARY_PATH_PROPERTY + "=" + library).trim());
  }
}
