import net.quorix.brevicon.Brevicon;
import net.quorix.brevicon.BreviconResult;

/** Parses an invented licence with nothing but the installed jar on the class path and no library path. */
public final class Consumer {
  public static void main(String[] args) throws Exception {
    String licence =
        "@\n\u001e\rANSI 636014080102DL00410278ZC03190008DLDAQD1234567\nDCSSAMPLE\nDACMICHAEL\nDBB01021980\n"
            + "DBA01022030\nDBD01022022\nDBC1\nDAJCA\nDCGUSA\n\rZCZCAX\r";
    try (Brevicon parser = new Brevicon()) {
      BreviconResult result = parser.parse(licence.getBytes(java.nio.charset.StandardCharsets.ISO_8859_1));
      System.out.println(Brevicon.getVersion() + " lastName=" + result.lastName);
      System.exit("SAMPLE".equals(result.lastName) ? 0 : 1);
    }
  }
}
