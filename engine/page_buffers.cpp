#include "engine/page_buffers.h"

#include <cstring>

#include "core/failure.h"
#include "engine/page.h"
#include "layers/layer_read.h"
#include "mask/mask_apply.h"

namespace plr {

namespace {

std::size_t pageBytes(const Page& page, std::size_t bytesPerPixel) { return page.pixelCount() * bytesPerPixel; }

// A page without pixels still gets a (zero-byte) buffer: "present" means
// allocated, and a one-byte block stands for it.
void allocatePageSized(Block<std::uint8_t>& buffer, const Page& page, std::size_t bytesPerPixel) {
    const std::size_t bytes = pageBytes(page, bytesPerPixel);
    need(buffer.allocate(bytes ? bytes : 1));
}

bool isPageSized(const Block<std::uint8_t>& buffer, const Page& page, std::size_t bytesPerPixel) {
    const std::size_t bytes = pageBytes(page, bytesPerPixel);
    return !buffer.empty() && bytes > 0 && buffer.size() == bytes;
}

void fillRGBA32(Page& page, Block<std::uint8_t>& buffer) {
    const std::size_t bytes = pageBytes(page, 4);
    if (bytes == 0) return;
    if (!readRGBA32(page, page.currentPageLayer(), buffer.data(), page.width * 4))
        std::memset(buffer.data(), 0, bytes);
}

void copyIn(Page& page, Block<std::uint8_t>& buffer, const std::uint8_t* image) {
    if (!image || !isPageSized(buffer, page, 4)) return;
    std::memcpy(buffer.data(), image, buffer.size());
}

}  // namespace

void allocSrcBuffer32(Page& page) {
    allocatePageSized(page.processing.src32, page, 4);
    fillRGBA32(page, page.processing.src32);
}

bool updateSrcBuffer32(Page& page) {
    if (!isPageSized(page.processing.src32, page, 4)) return false;
    return readRGBA32(page, page.currentPageLayer(), page.processing.src32.data(), page.width * 4);
}

void allocDstBuffer32(Page& page) { allocatePageSized(page.processing.dst32, page, 4); }

void allocSrcBuffer24(Page& page) {
    Block<std::uint8_t>& buffer = page.processing.src24;
    allocatePageSized(buffer, page, 3);
    const std::size_t bytes = pageBytes(page, 3);
    if (bytes == 0) return;
    if (!readRGB24(page, page.currentPageLayer(), buffer.data(), page.width * 3)) std::memset(buffer.data(), 0, bytes);
}

void allocDstBuffer24(Page& page) { allocatePageSized(page.processing.dst24, page, 3); }

void setSrcBuffer32(Page& page, const std::uint8_t* image) { copyIn(page, page.processing.src32, image); }
void setDstBuffer32(Page& page, const std::uint8_t* image) { copyIn(page, page.processing.dst32, image); }

void applyMaskToSrcBufferAlpha(Page& page) {
    if (!page.mask.enabled || !isPageSized(page.processing.src32, page, 4)) return;
    applyMaskToAlpha(page.maskPage(), page.processing.src32.data());
}

}  // namespace plr
