// The labels of the map, kept from one drawing pass to the next.
//
// A label is kept as its glyphs and their places; each glyph's pixels are
// drawn once by the toolkit and shared by every label holding it. Text is
// never antialiased, so a glyph's pixels are the same wherever it stands, for
// the same fraction of a pixel: a label drawn from its glyphs is the
// toolkit's own text, pixel for pixel.
#pragma once

#include <QFont>
#include <QImage>
#include <QRawFont>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace karvel {

struct Run {
    int16_t dx, dy, length;
};

// Pixels as runs along rows, their extent, and the same pixels as offsets
// from the origin in an image whose rows are `stride` pixels apart (made when
// first needed).
struct Mask {
    std::vector<Run> runs;
    int left = 0, right = 0, top = 0, bottom = 0;
    qsizetype stride = 0;
    std::vector<qsizetype> offsets;

    void add_extent(int l, int r, int t, int b) {
        left = std::min(left, l);
        right = std::max(right, r);
        top = std::min(top, t);
        bottom = std::max(bottom, b);
    }
    const std::vector<qsizetype>& offsets_for(qsizetype image_stride) {
        if (stride != image_stride) {
            stride = image_stride;
            offsets.clear();
            for (const Run& r : runs)
                for (int i = 0; i < r.length; ++i) offsets.push_back(r.dy * stride + r.dx + i);
        }
        return offsets;
    }
};

// The labels of the passes: a map redraws the same labels at every move of
// the mouse, up to the half million of a whole-world selection, a few bytes a
// glyph.
class LabelCache {
  public:
    struct Glyph {
        uint32_t mask;  // index into masks_
        int32_t dx;     // from the label's left edge to the glyph's pixel origin
    };
    struct Label {
        uint32_t first = 0;  // its glyphs in glyphs_
        uint32_t count = 0;
        int box_width = 0;
        int left = 0, right = 0, top = 0, bottom = 0;  // its pixels' extent
        uint32_t text_at = 0, text_size = 0;           // its text in texts_
        // Where it was first asked for in this pass and the two before, by
        // pass number modulo 3.
        uint32_t seen_pass[3] = {0, 0, 0}, seen_at[3] = {0, 0, 0};
    };

    // Takes the font and resolution of the pass; another font or resolution
    // forgets every label. Returns the generation they hold from then on.
    uint64_t use(const QFont& font, int dots_per_metre);
    // Changes whenever the font, the resolution or the labels kept change: a
    // canvas that used the cache in this generation need not compare fonts.
    uint64_t generation() const { return generation_; }

    // A pass asks for its labels in nearly the order the passes before did
    // (the same tables in the same order, some labels more or fewer at the
    // view's edges or after a zoom): each label is first compared with the
    // ones that came next in the last two passes, read in sequence, and
    // looked up by its text only when none is the same.
    void begin_pass() {
        ++pass_;
        sequence(pass_).clear();
        next_ = {0, 0};
    }

    const Label& get(std::string_view text) {
        uint32_t i = kNone;
        for (uint32_t back = 1; back <= kPassesKept && i == kNone; ++back) {
            const std::vector<uint32_t>& before = sequence(pass_ - back);
            size_t& next = next_[back - 1];
            const size_t end = std::min(next + kLookAhead, before.size());
            for (size_t k = next; k < end; ++k)
                if (same_text(before[k], text)) {
                    i = before[k];
                    next = k + 1;
                    break;
                }
        }
        if (i == kNone) {
            auto it = index_.find(text);
            if (it == index_.end()) it = index_.emplace(std::string(text), lay_out(text)).first;
            i = it->second;
        }
        Label& l = labels_[i];
        // Go on from where this label stood in the passes before (never back:
        // a label asked for twice is found at its first place).
        for (uint32_t back = 1; back <= kPassesKept; ++back) {
            const uint32_t slot = (pass_ - back) % kSlots;
            if (l.seen_pass[slot] == pass_ - back)
                next_[back - 1] = std::max<size_t>(next_[back - 1], l.seen_at[slot] + 1);
        }
        std::vector<uint32_t>& now = sequence(pass_);
        const uint32_t slot = pass_ % kSlots;
        if (l.seen_pass[slot] != pass_) {
            l.seen_pass[slot] = pass_;
            l.seen_at[slot] = static_cast<uint32_t>(now.size());
        }
        now.push_back(i);
        return l;
    }
    const Glyph* glyphs(const Label& l) const { return glyphs_.data() + l.first; }
    Mask& mask(uint32_t i) { return masks_[i]; }
    int ascent() const { return ascent_; }

    void clear() {
        labels_ = {};
        index_ = {};
        texts_ = {};
        sequences_ = {};
        next_ = {0, 0};
        glyphs_ = {};
        masks_ = {};
        mask_index_.clear();
        raw_fonts_.clear();
        font_ = QFont();
        dpm_ = 0;
        ++generation_;
    }

  private:
    static constexpr uint32_t kNone = UINT32_MAX;
    static constexpr size_t kLookAhead = 8;

    bool same_text(uint32_t i, std::string_view text) const {
        const Label& l = labels_[i];
        return l.text_size == text.size() &&
               std::memcmp(texts_.data() + l.text_at, text.data(), text.size()) == 0;
    }

    // A new label, laid out: returns its index.
    uint32_t lay_out(std::string_view text);
    // The pixels of one glyph drawn with its pen at a fraction of a pixel
    // (in 64ths) right of a pixel's corner and `dy` below the baseline:
    // returns its index in masks_.
    uint32_t glyph_mask(const QRawFont& raw, quint32 index, int fraction, int dy);

    struct GlyphKey {
        int font;
        quint32 index;
        int fraction, dy;
        bool operator<(const GlyphKey& o) const {
            return std::tie(font, index, fraction, dy) <
                   std::tie(o.font, o.index, o.fraction, o.dy);
        }
    };
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const noexcept {
            return std::hash<std::string_view>()(s);
        }
    };

    QFont font_;
    int dpm_ = 0;
    uint64_t generation_ = 0;
    QImage probe_;
    int ascent_ = 0;
    std::vector<Label> labels_;
    std::string texts_;  // every label's text, in the order they came
    std::unordered_map<std::string, uint32_t, Hash, std::equal_to<>> index_;
    static constexpr uint32_t kPassesKept = 2, kSlots = kPassesKept + 1;
    std::vector<uint32_t>& sequence(uint32_t pass) { return sequences_[pass % kSlots]; }
    uint32_t pass_ = kSlots;  // passes before the first are numbered from 1: none was seen then
    std::array<std::vector<uint32_t>, kSlots> sequences_;  // the labels asked for, in order
    std::array<size_t, kPassesKept> next_ = {0, 0};        // the label expected next in each
    std::vector<Glyph> glyphs_;
    std::vector<Mask> masks_;
    std::map<GlyphKey, uint32_t> mask_index_;
    std::vector<QRawFont> raw_fonts_;
};

}  // namespace karvel
