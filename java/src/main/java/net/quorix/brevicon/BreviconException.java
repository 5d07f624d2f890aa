package net.quorix.brevicon;

/** A parse that produced no result, with the native status code saying why. */
public final class BreviconException extends Exception {
  private static final long serialVersionUID = 1L;

  static final int STATUS_OK = 0;
  /** The input was null. */
  public static final int STATUS_NO_INPUT = -11;
  /** The input was empty. */
  public static final int STATUS_EMPTY_INPUT = -17;
  /** An argument was out of range, or the parser had no instance. */
  public static final int STATUS_BAD_ARGUMENT = -21;
  /** The parser's buffers could not be allocated. */
  public static final int STATUS_NO_ARENA = -24;
  /** No decoder accepted the input. */
  public static final int STATUS_NO_DECODER = -25;
  /** A picture holds no barcode that could be read. */
  public static final int STATUS_NO_BARCODE = -28;
  /** A Java class or field the binding needed was not found. */
  public static final int STATUS_HOST_ERROR = -27;
  /** The input is longer than the parser's {@link Brevicon#getMaxInputSize() limit}. */
  public static final int STATUS_INPUT_TOO_LARGE = -29;

  private final int status;

  BreviconException(int status) {
    super(describe(status));
    this.status = status;
  }

  /**
   * The status code of the failed parse: one of the {@code STATUS_} constants, or the negative status of the decoder
   * that recognised the input and then failed.
   *
   * @return a negative status code
   */
  public int getStatus() {
    return status;
  }

  static String describe(int status) {
    switch (status) {
      case STATUS_NO_INPUT:
        return "no input was given";
      case STATUS_EMPTY_INPUT:
        return "the input is empty";
      case STATUS_BAD_ARGUMENT:
        return "a bad argument reached the native parser";
      case STATUS_NO_ARENA:
        return "the parser's buffers could not be allocated";
      case STATUS_NO_DECODER:
        return "no decoder accepted the input";
      case STATUS_NO_BARCODE:
        return "no barcode found in the image";
      case STATUS_HOST_ERROR:
        return "a Java class or field the binding needs was not found";
      case STATUS_INPUT_TOO_LARGE:
        return "the input is longer than the parser's limit";
      default:
        return "the decoder that recognised the input failed with status " + status;
    }
  }
}
