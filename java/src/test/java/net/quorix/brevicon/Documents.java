package net.quorix.brevicon;

import java.nio.ByteBuffer;
import java.nio.charset.StandardCharsets;

/** Invented documents for the binding tests. */
final class Documents {
  private Documents() {}

  /** A text no decoder reads. */
  static final String REJECTED = "no decoder reads this sentence";

  /**
   * An AAMVA 2014 licence (version 08) with a header of 21 characters, one DL subfile at offset 41 and a
   * jurisdiction subfile designator; extra is appended to the DL subfile's elements.
   */
  static String aamva2014(String... extra) {
    StringBuilder elements = new StringBuilder();
    elements
        .append("DLDAQD1234567\n")
        .append("DCSSAMPLE\n")
        .append("DACMICHAEL\n")
        .append("DADJOHN\n")
        .append("DBB01021980\n")
        .append("DBA01022030\n")
        .append("DBD01022022\n")
        .append("DBC1\n")
        .append("DAYBRO\n")
        .append("DAZBLK\n")
        .append("DAU070 IN\n")
        .append("DCAC\n")
        .append("DAG123 MAIN ST\n")
        .append("DAISACRAMENTO\n")
        .append("DAJCA\n")
        .append("DAK958150000  \n")
        .append("DCGUSA\n");
    for (String element : extra) elements.append(element).append('\n');
    elements.append('\r');
    return "@\n\u001e\rANSI 636014080102DL00410278ZC03190008" + elements + "ZCZCAX\r";
  }

  static ByteBuffer direct(String text) {
    byte[] bytes = text.getBytes(StandardCharsets.ISO_8859_1);
    ByteBuffer buffer = ByteBuffer.allocateDirect(bytes.length);
    buffer.put(bytes);
    return buffer;
  }

  static byte[] bytes(String text) {
    return text.getBytes(StandardCharsets.ISO_8859_1);
  }
}
