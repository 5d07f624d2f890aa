package net.quorix.brevicon;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.awt.Graphics2D;
import java.awt.image.BufferedImage;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Clock;
import java.time.Instant;
import java.time.ZoneOffset;
import javax.imageio.ImageIO;
import org.junit.jupiter.api.Test;

/** Pictures through the binding: the card of testdata/images in every kind of image, misses, and a build without. */
class BreviconImageTest {
  private static final Path GOLDEN = Path.of(System.getProperty("quorix.golden.dir", "testdata/golden"));
  private static final Path IMAGES = GOLDEN.getParent().resolve("images");
  private static final Clock CLOCK = Clock.fixed(Instant.parse("2024-06-15T12:00:00Z"), ZoneOffset.UTC);

  private static BufferedImage read(String name) throws Exception {
    BufferedImage image = ImageIO.read(IMAGES.resolve(name).toFile());
    assertTrue(image != null, name);
    return image;
  }

  // The picture drawn into an image of another type; transparent: white pixels become fully transparent black.
  private static BufferedImage as(BufferedImage source, int type, boolean transparent) {
    BufferedImage out = new BufferedImage(source.getWidth(), source.getHeight(), type);
    Graphics2D g = out.createGraphics();
    g.drawImage(source, 0, 0, null);
    g.dispose();
    for (int y = 0; transparent && y < out.getHeight(); ++y) {
      for (int x = 0; x < out.getWidth(); ++x) {
        if ((out.getRGB(x, y) & 0xFFFFFF) == 0xFFFFFF) out.setRGB(x, y, 0);
      }
    }
    return out;
  }

  @Test
  void cardGivesItsTextsResultInEveryKindOfImage() throws Exception {
    assumeTrue(Brevicon.isImageSupported(), "the library was built without the image component");
    BufferedImage card = read("aamva-2016-card.png");
    BufferedImage[] kinds = {
      card,
      as(card, BufferedImage.TYPE_BYTE_GRAY, false),
      as(card, BufferedImage.TYPE_3BYTE_BGR, false),
      as(card, BufferedImage.TYPE_INT_ARGB, true),
    };
    try (Brevicon parser = new Brevicon(CLOCK)) {
      BreviconResult text = parser.parse(Files.readAllBytes(GOLDEN.resolve("aamva/2016-v9-current-edition.in")));
      assertNull(text.symbolFormat());
      assertEquals(0, text.symbolPosition().length);
      for (BufferedImage image : kinds) {
        String kind = "image type " + image.getType();
        BreviconResult result = parser.parseImage(image);
        assertEquals(text.asMap(), result.asMap(), kind);
        assertEquals(text.decoderId(), result.decoderId(), kind);
        assertEquals(text.standard(), result.standard(), kind);
        assertEquals(text.extras(), result.extras(), kind);
        assertEquals("PDF417", result.symbolFormat(), kind);
        int[] corners = result.symbolPosition();
        assertEquals(8, corners.length, kind);
        for (int i = 0; i < 8; i += 2) {
          assertTrue(corners[i] >= 0 && corners[i] < card.getWidth(), kind);
          assertTrue(corners[i + 1] >= 0 && corners[i + 1] < card.getHeight(), kind);
        }
        assertTrue(corners[0] < corners[2] && corners[1] < corners[7], kind + ": clockwise from the top left");
        assertEquals(result, parser.parseImage(image), kind);
        assertTrue(result.toString().contains("symbol=PDF417"), result.toString());
      }
    }
  }

  @Test
  void picturesWithoutAnAcceptedSymbolFailWithTheirStatus() throws Exception {
    assumeTrue(Brevicon.isImageSupported(), "the library was built without the image component");
    try (Brevicon parser = new Brevicon()) {
      BreviconException none = assertThrows(BreviconException.class, () -> parser.parseImage(read("no-barcode.png")));
      assertEquals(BreviconException.STATUS_NO_BARCODE, none.getStatus());
      assertEquals("no barcode found in the image", none.getMessage());
      BreviconException rejected =
          assertThrows(BreviconException.class, () -> parser.parseImage(read("rejected-code128.png")));
      assertEquals(BreviconException.STATUS_NO_DECODER, rejected.getStatus());
      // The parser goes on parsing texts and pictures after a miss.
      assertEquals("PDF417", parser.parseImage(read("aamva-2016-card.png")).symbolFormat());
      assertEquals("MICHAEL", parser.parse(Documents.bytes(Documents.aamva2014())).firstName);
    }
  }

  @Test
  void argumentsAndLifecycle() throws Exception {
    BufferedImage blank = new BufferedImage(4, 4, BufferedImage.TYPE_BYTE_GRAY);
    Brevicon parser = new Brevicon();
    assertThrows(NullPointerException.class, () -> parser.parseImage(null));
    if (!Brevicon.isImageSupported()) {
      assertThrows(UnsupportedOperationException.class, () -> parser.parseImage(blank));
    } else {
      BreviconException e = assertThrows(BreviconException.class, () -> parser.parseImage(blank));
      assertEquals(BreviconException.STATUS_NO_BARCODE, e.getStatus());
    }
    parser.close();
    Class<? extends Exception> closed =
        Brevicon.isImageSupported() ? IllegalStateException.class : UnsupportedOperationException.class;
    assertThrows(closed, () -> parser.parseImage(blank));
  }

  @Test
  void resultsFromPicturesAndTextsDiffer() throws Exception {
    BreviconResult text = new BreviconResult();
    BreviconResult picture = new BreviconResult();
    picture.setSymbol("PDF417", new int[] {1, 2, 3, 4, 5, 6, 7, 8});
    assertTrue(!text.equals(picture) && !picture.equals(text));
    int[] corners = picture.symbolPosition();
    corners[0] = 99;
    assertArrayEquals(new int[] {1, 2, 3, 4, 5, 6, 7, 8}, picture.symbolPosition());
  }
}
