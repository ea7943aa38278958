#include "platform/linux/x11/screen_capture.h"

#include <bit>
#include <cstring>
#include <optional>
#include <string>

namespace ondrel::linux::x11 {
namespace {

constexpr std::uint8_t kTrueColor = 4;    // XCB_VISUAL_CLASS_TRUE_COLOR
constexpr std::uint8_t kDirectColor = 5;  // XCB_VISUAL_CLASS_DIRECT_COLOR
constexpr std::uint8_t kMsbFirst = 1;     // XCB_IMAGE_ORDER_MSB_FIRST

// One colour's bits in a pixel value.
struct Channel {
  int shift = 0;
  std::uint32_t largest = 0;  // the mask shifted down: 255 for 8 bits
};

// How a ZPixmap of one depth and visual is laid out.
struct PixelLayout {
  int bytes_per_pixel = 0;
  int scanline_pad_bits = 0;
  bool msb_first = false;
  Channel red, green, blue;
};

std::size_t padded(std::size_t size, std::size_t unit) { return (size + unit - 1) / unit * unit; }

std::optional<Channel> channel_of(std::uint32_t mask) {
  if (mask == 0) return std::nullopt;
  const int shift = std::countr_zero(mask);
  const std::uint32_t largest = mask >> shift;
  if ((largest & (largest + 1)) != 0) return std::nullopt;  // not one run of bits
  return Channel{shift, largest};
}

const XcbFormat* format_of_depth(const XcbSetup& setup, std::uint8_t depth) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&setup);
  const auto* formats = reinterpret_cast<const XcbFormat*>(bytes + kXcbSetupFixedSize + padded(setup.vendor_len, 4));
  for (std::uint8_t i = 0; i < setup.pixmap_formats_len; ++i)
    if (formats[i].depth == depth) return &formats[i];
  return nullptr;
}

// The visual `id` among the depths of every screen.
const XcbVisualType* find_visual(const XcbLibrary& xcb, const XcbSetup& setup, std::uint32_t id) {
  for (XcbScreenIterator screens = xcb.setup_roots_iterator(&setup); screens.rem > 0; xcb.screen_next(&screens)) {
    const auto* at = reinterpret_cast<const std::uint8_t*>(screens.data);
    const std::uint8_t depth_count = at[kXcbScreenDepthCountAt];
    at += kXcbScreenFixedSize;
    for (std::uint8_t d = 0; d < depth_count; ++d) {
      XcbDepth depth;
      std::memcpy(&depth, at, sizeof depth);
      const auto* visuals = reinterpret_cast<const XcbVisualType*>(at + sizeof(XcbDepth));
      for (std::uint16_t v = 0; v < depth.visuals_len; ++v)
        if (visuals[v].visual_id == id) return &visuals[v];
      at += sizeof(XcbDepth) + depth.visuals_len * sizeof(XcbVisualType);
    }
  }
  return nullptr;
}

Expected<PixelLayout> pixel_layout(const XcbLibrary& xcb, XcbConnection* connection, std::uint8_t depth,
                                   std::uint32_t visual_id) {
  const XcbSetup& setup = *xcb.get_setup(connection);
  const XcbFormat* format = format_of_depth(setup, depth);
  const XcbVisualType* visual = find_visual(xcb, setup, visual_id);
  const std::string what = "the screen's pixels (depth " + std::to_string(depth);
  if (format == nullptr || visual == nullptr) return Outcome::failure(what + ") have no format the server describes");
  if (visual->visual_class != kTrueColor && visual->visual_class != kDirectColor)
    return Outcome::failure(what + ") are colour-mapped, which is not read");
  if (format->bits_per_pixel != 16 && format->bits_per_pixel != 24 && format->bits_per_pixel != 32)
    return Outcome::failure(what + ") take " + std::to_string(format->bits_per_pixel) +
                            " bits each; 16, 24 and 32 are read");
  const auto red = channel_of(visual->red_mask);
  const auto green = channel_of(visual->green_mask);
  const auto blue = channel_of(visual->blue_mask);
  if (!red || !green || !blue) return Outcome::failure(what + ") have colour masks that are not one run of bits");
  return PixelLayout{format->bits_per_pixel / 8, format->scanline_pad, setup.image_byte_order == kMsbFirst, *red,
                     *green, *blue};
}

std::uint8_t eight_bits(std::uint32_t pixel, Channel channel) {
  const std::uint32_t value = (pixel >> channel.shift) & channel.largest;
  if (channel.largest == 255) return static_cast<std::uint8_t>(value);
  return static_cast<std::uint8_t>((value * 255 + channel.largest / 2) / channel.largest);
}

template <int BytesPerPixel, bool MsbFirst>
std::uint32_t pixel_at(const std::uint8_t* at) {
  std::uint32_t value = 0;
  for (int i = 0; i < BytesPerPixel; ++i) {
    const int byte = MsbFirst ? i : BytesPerPixel - 1 - i;
    value = (value << 8) | at[byte];
  }
  return value;
}

template <int BytesPerPixel, bool MsbFirst>
void convert_rows(const std::uint8_t* data, std::size_t stride, const PixelLayout& layout, screen::RgbImage& image) {
  for (std::int32_t y = 0; y < image.height; ++y) {
    const std::uint8_t* in = data + stride * static_cast<std::size_t>(y);
    std::uint8_t* out = image.row(y);
    for (std::int32_t x = 0; x < image.width; ++x, in += BytesPerPixel, out += 3) {
      const std::uint32_t pixel = pixel_at<BytesPerPixel, MsbFirst>(in);
      out[0] = eight_bits(pixel, layout.red);
      out[1] = eight_bits(pixel, layout.green);
      out[2] = eight_bits(pixel, layout.blue);
    }
  }
}

// The usual layout, BGRX in memory with 8 bits a colour, without masks.
bool is_bgrx(const PixelLayout& layout) {
  return layout.bytes_per_pixel == 4 && !layout.msb_first && layout.red.shift == 16 && layout.green.shift == 8 &&
         layout.blue.shift == 0 && layout.red.largest == 255 && layout.green.largest == 255 &&
         layout.blue.largest == 255;
}

void convert_bgrx(const std::uint8_t* data, std::size_t stride, screen::RgbImage& image) {
  for (std::int32_t y = 0; y < image.height; ++y) {
    const std::uint8_t* in = data + stride * static_cast<std::size_t>(y);
    std::uint8_t* out = image.row(y);
    for (std::int32_t x = 0; x < image.width; ++x, in += 4, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
}

void convert(const std::uint8_t* data, std::size_t stride, const PixelLayout& layout, screen::RgbImage& image) {
  if (is_bgrx(layout)) return convert_bgrx(data, stride, image);
  if (layout.bytes_per_pixel == 4)
    return layout.msb_first ? convert_rows<4, true>(data, stride, layout, image)
                            : convert_rows<4, false>(data, stride, layout, image);
  if (layout.bytes_per_pixel == 3)
    return layout.msb_first ? convert_rows<3, true>(data, stride, layout, image)
                            : convert_rows<3, false>(data, stride, layout, image);
  return layout.msb_first ? convert_rows<2, true>(data, stride, layout, image)
                          : convert_rows<2, false>(data, stride, layout, image);
}

Expected<screen::RgbImage> image_of(const XcbLibrary& xcb, XcbConnection* connection, const XcbGetImageReply& reply,
                                    Size size) {
  const Expected<PixelLayout> layout = pixel_layout(xcb, connection, reply.depth, reply.visual);
  if (!layout.ok()) return layout.outcome();
  const PixelLayout& pixels = layout.value();
  const std::size_t pad_bytes = static_cast<std::size_t>(pixels.scanline_pad_bits) / 8;
  const std::size_t stride =
      padded(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(pixels.bytes_per_pixel),
             pad_bytes == 0 ? 1 : pad_bytes);
  const std::size_t data_size = std::size_t{reply.length} * 4;
  if (data_size < stride * static_cast<std::size_t>(size.height))
    return Outcome::failure("the X server sent " + std::to_string(data_size) + " bytes for a picture of " +
                            std::to_string(size.width) + "x" + std::to_string(size.height));
  screen::RgbImage image = screen::RgbImage::blank(size.width, size.height);
  convert(reinterpret_cast<const std::uint8_t*>(&reply + 1), stride, pixels, image);
  return image;
}

}  // namespace

Capture capture_root_area(XtestConnection& connection, std::uint32_t root, ScreenArea area, Deadline deadline) {
  const XcbLibrary& xcb = connection.library();
  constexpr std::uint32_t kAllPlanes = 0xffffffff;
  const XcbCookie cookie = xcb.get_image(connection.raw_connection(), kImageFormatZPixmap, root,
                                         static_cast<std::int16_t>(area.origin.x),
                                         static_cast<std::int16_t>(area.origin.y),
                                         static_cast<std::uint16_t>(area.size.width),
                                         static_cast<std::uint16_t>(area.size.height), kAllPlanes);
  Answer answer = connection.answer(cookie, deadline);
  if (answer.delivery != Delivery::delivered) return {answer.delivery, Outcome::failure("no picture was taken")};
  const auto& reply = *static_cast<const XcbGetImageReply*>(answer.reply.get());
  return {Delivery::delivered, image_of(xcb, connection.raw_connection(), reply, area.size)};
}

}  // namespace ondrel::linux::x11
