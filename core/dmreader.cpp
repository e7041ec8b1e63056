// SPDX-License-Identifier: BSD-3-Clause
// Reader of Digital Micrograph 3 and 4 files (.dm3, .dm4).
//
// Layout, from the public description of the format: a header (version, length of the root,
// byte order of the values: 0 big-endian, 1 little-endian), then a tree of tags. A tag is a
// group (20) or data (21), with a label; DM4 adds the tag's size in bytes. Data tags hold
// "%%%%", the length of a type description, the description (always big-endian) and the
// value. The images are groups under "ImageList"; the first is usually the thumbnail, so the
// largest two-dimensional image is taken.
#include "core/raster.h"

#include <cstdio>    // for snprintf
#include <cstring>   // for memcpy
#include <algorithm> // for find, max
#include <bit>       // for endian
#include <utility>
#include <string>
#include <vector>

namespace saed::core {

namespace {

constexpr int kMaxDepth = 64;
constexpr std::uint64_t kMaxTags = 1u << 20;

struct DmError {
    std::string message;
};

// One data tag: where its value lies and what it is.
struct DataTag {
    std::uint64_t type = 0;         // simple type, 15 struct, 18 string, 20 array
    std::uint64_t elementType = 0;  // for arrays of simple values
    std::uint64_t count = 0;        // array length
    std::size_t offset = 0;         // first byte of the value
    std::size_t size = 0;           // bytes of the value
};

// A tag group as a flat list of labelled children; unlabelled children keep their order.
struct Group {
    std::vector<std::pair<std::string, DataTag>> data;
    std::vector<std::pair<std::string, std::size_t>> groups;   // index into Parser::groups
};

std::size_t simpleSize(std::uint64_t type) {
    switch (type) {
    case 2: case 4: return 2;            // int16, uint16
    case 3: case 5: case 6: return 4;    // int32, uint32, float32
    case 7: case 11: case 12: return 8;  // float64, int64, uint64
    case 8: case 9: case 10: return 1;   // bool, char, octet
    default: return 0;
    }
}

class Parser {
public:
    Parser(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}

    std::vector<Group> groups;

    void parseFile() {
        const std::uint32_t version = static_cast<std::uint32_t>(be(0, 4));
        if (version != 3 && version != 4) fail("not a Digital Micrograph 3 or 4 file");
        m_dm4 = version == 4;
        m_pos = m_dm4 ? 16 : 12;
        const std::uint64_t order = be(m_dm4 ? 12 : 8, 4);
        if (order > 1) fail("unknown byte order");
        m_little = order == 1;
        groups.emplace_back();
        parseGroup(0, 0);
    }

    bool littleEndian() const { return m_little; }

    double number(const DataTag& t) const {
        if (t.type == 20 || t.type == 15 || t.type == 18) return 0.0;
        return simpleValue(t.type, t.offset);
    }

    double simpleValue(std::uint64_t type, std::size_t at) const {
        const std::size_t n = simpleSize(type);
        if (n == 0 || at + n > m_size) return 0.0;
        const std::uint64_t raw = value(at, n);
        switch (type) {
        case 2: return static_cast<std::int16_t>(raw);
        case 3: return static_cast<std::int32_t>(raw);
        case 4: case 5: case 8: case 9: case 10: return static_cast<double>(raw);
        case 6: {
            const std::uint32_t r = static_cast<std::uint32_t>(raw);
            float f;
            std::memcpy(&f, &r, 4);
            return f;
        }
        case 7: {
            double d;
            std::memcpy(&d, &raw, 8);
            return d;
        }
        case 11: return static_cast<double>(static_cast<std::int64_t>(raw));
        case 12: return static_cast<double>(raw);
        default: return 0.0;
        }
    }

    // Text of an array of 16-bit characters (or of bytes), Latin-1 and ASCII kept, UTF-8 out.
    std::string text(const DataTag& t) const {
        std::string out;
        if (t.type != 20) return out;
        const std::size_t n = simpleSize(t.elementType);
        if (n != 1 && n != 2) return out;
        for (std::uint64_t i = 0; i < t.count && i < 256; ++i) {
            const auto c = static_cast<std::uint32_t>(value(t.offset + i * n, n));
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else if (c < 0x800) {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += static_cast<char>(0xE0 | (c >> 12));
                out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return out;
    }

private:
    [[noreturn]] static void fail(const std::string& m) { throw DmError{m}; }

    void need(std::size_t n) const {
        if (n > m_size || m_pos > m_size - n) fail("the tag tree ends before the end of a tag");
    }

    std::uint64_t be(std::size_t at, std::size_t n) const {
        if (n > m_size || at > m_size - n) fail("the file is too short");
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i) v = (v << 8) | m_data[at + i];
        return v;
    }

    // A value in the byte order of the file's values (the range was checked by the caller).
    std::uint64_t value(std::size_t at, std::size_t n) const {
        std::uint64_t v = 0;
        if (m_little)
            for (std::size_t i = n; i-- > 0;) v = (v << 8) | m_data[at + i];
        else
            for (std::size_t i = 0; i < n; ++i) v = (v << 8) | m_data[at + i];
        return v;
    }

    std::uint64_t readBe(std::size_t n) {
        need(n);
        const std::uint64_t v = be(m_pos, n);
        m_pos += n;
        return v;
    }

    std::uint64_t readCount() { return readBe(m_dm4 ? 8 : 4); }

    void parseGroup(std::size_t index, int depth) {
        if (depth > kMaxDepth) fail("the tag tree is nested too deeply");
        readBe(2);   // sorted, open
        const std::uint64_t count = readCount();
        if (count > kMaxTags) fail("a tag group is too large");
        for (std::uint64_t i = 0; i < count; ++i) {
            const auto kind = readBe(1);
            if (kind == 0) return;   // end of the file's tags
            const auto labelLength = static_cast<std::size_t>(readBe(2));
            need(labelLength);
            std::string label(reinterpret_cast<const char*>(m_data + m_pos), labelLength);
            m_pos += labelLength;
            if (m_dm4) readBe(8);   // the tag's size; the contents say it again
            if (kind == 20) {
                const std::size_t child = groups.size();
                if (child > kMaxTags) fail("too many tag groups");
                groups.emplace_back();
                groups[index].groups.emplace_back(label, child);
                parseGroup(child, depth + 1);
            } else if (kind == 21) {
                groups[index].data.emplace_back(label, parseData());
            } else {
                fail("unknown tag kind " + std::to_string(kind));
            }
        }
    }

    // Size of one value of a struct described by `info` from `i` (name length, field count,
    // then name length and type per field); advances `i`.
    std::size_t structSize(const std::vector<std::uint64_t>& info, std::size_t& i) {
        if (i + 2 > info.size()) fail("a structure's description is cut short");
        const std::uint64_t fields = info[i + 1];
        i += 2;
        if (fields > 1024 || i + 2 * fields > info.size()) fail("a structure's description is cut short");
        std::size_t size = 0;
        for (std::uint64_t f = 0; f < fields; ++f) {
            const std::size_t s = simpleSize(info[i + 1]);
            if (s == 0) fail("a structure holds an unknown type");
            size += s;
            i += 2;
        }
        return size;
    }

    DataTag parseData() {
        need(4);
        if (std::memcmp(m_data + m_pos, "%%%%", 4) != 0) fail("a data tag lacks its %%%% mark");
        m_pos += 4;
        const std::uint64_t infoLength = readCount();
        if (infoLength == 0 || infoLength > 4096) fail("a data tag has a bad type description");
        std::vector<std::uint64_t> info(static_cast<std::size_t>(infoLength));
        for (auto& v : info) v = readCount();

        DataTag t;
        t.type = info[0];
        t.offset = m_pos;
        std::uint64_t bytes = 0;
        if (simpleSize(t.type) != 0) {
            bytes = simpleSize(t.type);
        } else if (t.type == 18) {
            if (info.size() < 2) fail("a string tag lacks its length");
            bytes = info[1];
        } else if (t.type == 15) {
            std::size_t i = 1;
            bytes = structSize(info, i);
        } else if (t.type == 20) {
            if (info.size() < 3) fail("an array tag lacks its length");
            t.elementType = info[1];
            std::size_t elementSize = simpleSize(t.elementType);
            std::size_t i = 2;
            if (t.elementType == 15) elementSize = structSize(info, i);
            else if (elementSize == 0) fail("an array holds an unknown type");
            if (i >= info.size()) fail("an array tag lacks its length");
            t.count = info[i];
            if (t.count > (std::uint64_t{1} << 40)) fail("an array is too long");
            bytes = t.count * elementSize;
        } else {
            fail("unknown data type " + std::to_string(t.type));
        }
        if (bytes > m_size - m_pos) fail("a tag's value runs past the end of the file");
        t.size = static_cast<std::size_t>(bytes);
        m_pos += t.size;
        return t;
    }

    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_dm4 = false;
    bool m_little = false;
};

const Group* childGroup(const std::vector<Group>& groups, const Group& g, std::string_view label) {
    for (const auto& [name, index] : g.groups)
        if (name == label) return &groups[index];
    return nullptr;
}

const DataTag* childData(const Group& g, std::string_view label) {
    for (const auto& [name, tag] : g.data)
        if (name == label) return &tag;
    return nullptr;
}

// The image's pixel type and bytes per pixel from its data type code; nullopt for complex,
// packed and unknown codes.
std::optional<std::pair<PixelType, std::size_t>> dmPixelType(int code) {
    switch (code) {
    case 1: return std::pair{PixelType::Int16, std::size_t{2}};
    case 2: return std::pair{PixelType::Float32, std::size_t{4}};
    case 6: return std::pair{PixelType::UInt8, std::size_t{1}};
    case 7: return std::pair{PixelType::Int32, std::size_t{4}};
    case 8: case 23: return std::pair{PixelType::Rgb8, std::size_t{4}};   // R, G, B, unused
    case 9: return std::pair{PixelType::Int8, std::size_t{1}};
    case 10: return std::pair{PixelType::UInt16, std::size_t{2}};
    case 11: return std::pair{PixelType::UInt32, std::size_t{4}};
    case 12: return std::pair{PixelType::Float64, std::size_t{8}};
    case 14: return std::pair{PixelType::UInt8, std::size_t{1}};          // binary
    default: return std::nullopt;
    }
}

}  // namespace

ReadResult readDm(const unsigned char* data, std::size_t size) {
    Parser parser(data, size);
    try {
        parser.parseFile();
    } catch (const DmError& e) {
        return {std::nullopt, "not a readable Digital Micrograph file: " + e.message + "."};
    }
    const auto& groups = parser.groups;
    const Group* list = childGroup(groups, groups[0], "ImageList");
    if (!list) return {std::nullopt, "the file holds no image list."};

    // The thumbnail is the image that the root's "Thumbnails" entries name by "ImageIndex"; files
    // without that list have it first, as an RGB image, when there is more than one image.
    std::vector<std::size_t> thumbnails;
    if (const Group* thumbs = childGroup(groups, groups[0], "Thumbnails")) {
        for (const auto& [label, index] : thumbs->groups)
            if (const DataTag* at = childData(groups[index], "ImageIndex"))
                thumbnails.push_back(static_cast<std::size_t>(std::max(0.0, parser.number(*at))));
    }
    const bool listed = !thumbnails.empty();

    // The largest 2D image whose data are present, thumbnails left out.
    const Group* best = nullptr;
    std::int64_t bestPixels = 0, bestWidth = 0, bestHeight = 0;
    int bestCode = 0;
    std::string problem = "the file holds no two-dimensional image.";
    bool tooLarge = false;
    // A side as the file gives it, whole or not, for the message.
    const auto side = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.0f", v);
        return std::string(text);
    };
    for (std::size_t position = 0; position < list->groups.size(); ++position) {
        const std::size_t index = list->groups[position].second;
        if (std::find(thumbnails.begin(), thumbnails.end(), position) != thumbnails.end()) continue;
        const Group* imageData = childGroup(groups, groups[index], "ImageData");
        if (!imageData) continue;
        const Group* dims = childGroup(groups, *imageData, "Dimensions");
        const DataTag* pixels = childData(*imageData, "Data");
        const DataTag* type = childData(*imageData, "DataType");
        if (!dims || !pixels || !type) continue;
        std::vector<double> extent;
        for (const auto& [n, t] : dims->data) extent.push_back(parser.number(t));
        while (extent.size() > 2 && extent.back() == 1.0) extent.pop_back();
        if (extent.size() != 2) continue;
        if (!(extent[0] >= 1 && extent[1] >= 1)) {
            problem = "the image's size " + side(extent[0]) + " x " + side(extent[1]) + " describes no image.";
            continue;
        }
        if (!(extent[0] <= kMaxImageSide && extent[1] <= kMaxImageSide &&
              imageSizeAllowed(static_cast<std::int64_t>(extent[0]), static_cast<std::int64_t>(extent[1])))) {
            problem = extent[0] <= kMaxImageSide && extent[1] <= kMaxImageSide
                          ? imageSizeProblem(static_cast<std::int64_t>(extent[0]), static_cast<std::int64_t>(extent[1]))
                          : "the image is " + side(extent[0]) + " x " + side(extent[1]) + " pixels, beyond the limit of " +
                                std::to_string(kMaxImageSide) + " pixels a side.";
            tooLarge = true;
            continue;
        }
        const auto w = static_cast<std::int64_t>(extent[0]);
        const auto h = static_cast<std::int64_t>(extent[1]);
        const int code = static_cast<int>(parser.number(*type));
        const auto pixelType = dmPixelType(code);
        if (!pixelType) {
            problem = "the image's data type " + std::to_string(code) + " is not supported.";
            continue;
        }
        if (pixels->type != 20 || pixels->size != static_cast<std::size_t>(w * h) * pixelType->second) {
            problem = "the image's data do not match its size.";
            continue;
        }
        if (!listed && position == 0 && list->groups.size() > 1 && pixelType->first == PixelType::Rgb8) continue;
        if (w * h >= bestPixels) {
            best = &groups[index];
            bestPixels = w * h;
            bestWidth = w;
            bestHeight = h;
            bestCode = code;
        }
    }
    if (!best) return {std::nullopt, problem, tooLarge};

    const Group& imageData = *childGroup(groups, *best, "ImageData");
    const DataTag& pixels = *childData(imageData, "Data");
    const auto [type, fileBytes] = *dmPixelType(bestCode);
    Raster raster(static_cast<int>(bestWidth), static_cast<int>(bestHeight), type);
    const std::size_t n = static_cast<std::size_t>(bestPixels);
    const unsigned char* src = data + pixels.offset;
    unsigned char* dst = raster.bytes().data();
    if (type == PixelType::Rgb8) {
        // Each pixel one 32-bit word: red in the lowest byte.
        for (std::size_t i = 0; i < n; ++i, src += 4, dst += 3) {
            const unsigned char* word = src;
            if (parser.littleEndian()) {
                dst[0] = word[0]; dst[1] = word[1]; dst[2] = word[2];
            } else {
                dst[0] = word[3]; dst[1] = word[2]; dst[2] = word[1];
            }
        }
    } else {
        std::memcpy(dst, src, n * fileBytes);
        constexpr bool hostLittle = std::endian::native == std::endian::little;
        if (fileBytes > 1 && parser.littleEndian() != hostLittle) {
            for (std::size_t i = 0; i < n; ++i) {
                unsigned char* p = dst + i * fileBytes;
                for (std::size_t a = 0, b = fileBytes - 1; a < b; ++a, --b) std::swap(p[a], p[b]);
            }
        }
    }

    // Calibration of the first dimension (x); square pixels are assumed for y's origin only.
    if (const Group* cal = childGroup(groups, imageData, "Calibrations")) {
        if (const Group* dim = childGroup(groups, *cal, "Dimension"); dim && !dim->groups.empty()) {
            const Group& x = groups[dim->groups[0].second];
            const DataTag* scale = childData(x, "Scale");
            const DataTag* units = childData(x, "Units");
            if (scale && units) {
                if (auto c = calibrationFromUnit(parser.number(*scale), parser.text(*units))) {
                    if (const DataTag* origin = childData(x, "Origin")) c->originX = parser.number(*origin);
                    if (dim->groups.size() > 1) {
                        if (const DataTag* origin = childData(groups[dim->groups[1].second], "Origin"))
                            c->originY = parser.number(*origin);
                    }
                    raster.calibration = c;
                }
            }
        }
    }
    return {std::move(raster), {}};
}

}  // namespace saed::core
