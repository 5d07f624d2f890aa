package net.quorix.brevicon;

import java.awt.image.BufferedImage;
import java.nio.ByteBuffer;

/**
 * A picture's pixels as the native reader takes them, in a direct buffer of its own: the bytes of a grey image as
 * they are, any other image as RGB, with what is transparent laid over white as a scan of a card on paper would be
 * (a transparent pixel of a PNG usually carries black, which would hide the symbol).
 */
final class ImagePixels {
  static final int GREY = 1;
  static final int RGB = 3;

  final ByteBuffer buffer;
  final int width;
  final int height;
  final int rowStride;
  final int format;

  private ImagePixels(ByteBuffer buffer, int width, int height, int rowStride, int format) {
    this.buffer = buffer;
    this.width = width;
    this.height = height;
    this.rowStride = rowStride;
    this.format = format;
  }

  static ImagePixels of(BufferedImage image) {
    int width = image.getWidth();
    int height = image.getHeight();
    if ((long) width * height * RGB > Integer.MAX_VALUE) {
      throw new IllegalArgumentException("a picture of " + width + " x " + height + " pixels is too large");
    }
    if (image.getType() == BufferedImage.TYPE_BYTE_GRAY) {
      byte[] grey = (byte[]) image.getRaster().getDataElements(0, 0, width, height, null);
      ByteBuffer buffer = ByteBuffer.allocateDirect(grey.length);
      buffer.put(grey);
      return new ImagePixels(buffer, width, height, width, GREY);
    }
    ByteBuffer buffer = ByteBuffer.allocateDirect(width * height * RGB);
    int[] argb = new int[width];
    byte[] rgb = new byte[width * RGB];
    for (int y = 0; y < height; ++y) {
      image.getRGB(0, y, width, 1, argb, 0, width);
      for (int x = 0; x < width; ++x) {
        int pixel = argb[x];
        int alpha = pixel >>> 24;
        rgb[x * RGB] = overWhite((pixel >> 16) & 0xFF, alpha);
        rgb[x * RGB + 1] = overWhite((pixel >> 8) & 0xFF, alpha);
        rgb[x * RGB + 2] = overWhite(pixel & 0xFF, alpha);
      }
      buffer.put(rgb);
    }
    return new ImagePixels(buffer, width, height, width * RGB, RGB);
  }

  private static byte overWhite(int channel, int alpha) {
    return (byte) ((channel * alpha + 255 * (255 - alpha) + 127) / 255);
  }
}
