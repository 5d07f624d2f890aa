package example;

import java.nio.file.Files;
import java.nio.file.Path;
import net.quorix.brevicon.Brevicon;
import net.quorix.brevicon.BreviconResult;

/** Parses the file named by the first argument and prints "decoder=G/I" and the fields as JSON. */
public final class ParseOne {
  private ParseOne() {}

  public static void main(String[] args) throws Exception {
    try (Brevicon parser = new Brevicon()) {
      BreviconResult result = parser.parse(Files.readAllBytes(Path.of(args[0])));
      System.out.println("decoder=" + result.decoderGroup() + "/" + result.decoderId());
      System.out.println(result.toJson());
    }
  }
}
