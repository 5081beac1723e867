// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/GifLzw.h"

#include <algorithm>

namespace rastix {
namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxWidth = 12;

} // namespace

GifLzwReader::GifLzwReader(const uint8_t *data, size_t size, int codeSize)
    : data_(data), size_(size), codeSize_(codeSize), clear_(1 << codeSize), width_(codeSize + 1),
      next_((1 << codeSize) + 2), prefix_(kMaxCodes), suffix_(kMaxCodes), length_(kMaxCodes)
{
    for (int i = 0; i < clear_ && i < kMaxCodes; ++i) {
        suffix_[size_t(i)] = uint16_t(i);
        length_[size_t(i)] = 1;
    }
}

int GifLzwReader::NextCode()
{
    while (bitCount_ < width_) {
        if (blockLeft_ == 0) {
            if (pos_ >= size_ || data_[pos_] == 0)
                return -1;
            blockLeft_ = data_[pos_++];
        }
        if (pos_ >= size_)
            return -1;
        bits_ |= uint32_t(data_[pos_++]) << bitCount_;
        bitCount_ += 8;
        --blockLeft_;
    }
    const int code = int(bits_ & ((1u << width_) - 1));
    bits_ >>= width_;
    bitCount_ -= width_;
    return code;
}

// Decodes one code into pending_; false when it ends the data.
bool GifLzwReader::Emit(int code)
{
    if (code < 0 || code == clear_ + 1)
        return false;
    if (code == clear_) {
        width_ = codeSize_ + 1;
        next_ = clear_ + 2;
        previous_ = -1;
        return true;
    }
    int entry = code;
    int extra = -1; // the first index of the previous string, for a code not yet in the table
    if (previous_ < 0) {
        if (code >= clear_)
            return false;
    } else if (code >= next_) {
        if (code > next_)
            return false;
        entry = previous_;
    }
    // The string of entry, last index first, onto the pending stack.
    const size_t start = pending_.size();
    for (int c = entry; c >= 0;) {
        pending_.push_back(suffix_[size_t(c)]);
        c = length_[size_t(c)] > 1 ? prefix_[size_t(c)] : -1;
    }
    const uint16_t first = pending_.back();
    if (code >= next_ && previous_ >= 0) {
        extra = first;
        pending_.insert(pending_.begin() + long(start), uint16_t(extra));
    }
    if (previous_ >= 0 && next_ < kMaxCodes) {
        prefix_[size_t(next_)] = uint16_t(previous_);
        suffix_[size_t(next_)] = first;
        length_[size_t(next_)] = uint16_t(std::min<int>(length_[size_t(previous_)] + 1, 0xFFFF));
        ++next_;
        if (next_ == 1 << width_ && width_ < kMaxWidth)
            ++width_;
    }
    previous_ = code;
    return true;
}

bool GifLzwReader::Read(uint16_t *out, size_t count)
{
    size_t i = 0;
    while (i < count) {
        if (!pending_.empty()) {
            out[i++] = pending_.back();
            pending_.pop_back();
            continue;
        }
        if (ended_ || !Emit(NextCode())) {
            ended_ = true;
            return false;
        }
    }
    return true;
}

} // namespace rastix
