// Document reader of the XML node module. Every scan is bounded by doc_end, so no byte sequence
// makes it read or write outside [doc_start, doc_end).
#include "libdrm_common_bm_xml_reader.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

enum class tag_end { none, open, self_closing };

// Character classes of the scans, looked up rather than compared one by one.
enum : uint8_t { kSpace = 1, kGreater = 2, kSlash = 4, kEquals = 8 };

constexpr std::array<uint8_t, 256> kClasses = [] {
    std::array<uint8_t, 256> classes{};
    for (unsigned char c : {'\t', '\n', '\r', ' '}) classes[c] = kSpace;
    classes['>'] = kGreater;
    classes['/'] = kSlash;
    classes['='] = kEquals;
    return classes;
}();

uint8_t class_of(char c) {
    return kClasses[static_cast<unsigned char>(c)];
}

bool is_space(char c) {
    return class_of(c) == kSpace;
}

bool ascii_iequal(const char* a, const char* b) {
    // End tags nearly always repeat their start tag's name exactly.
    if (std::strcmp(a, b) == 0) return true;
    for (;; ++a, ++b) {
        char ca = *a;
        char cb = *b;
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<char>(cb - 'A' + 'a');
        if (ca != cb) return false;
        if (ca == '\0') return true;
    }
}

// The scans work on local pointers: stores into the document could otherwise alias the parser
// state and force a reload of the position on every byte.
char* skip_spaces(char* q, const char* end) {
    while (q < end && is_space(*q)) ++q;
    return q;
}

void skip_space(drm_xml_parser* p) {
    p->pos = skip_spaces(p->pos, p->doc_end);
}

// "/>" at q, which must lie before end.
bool tag_close_at(const char* q, const char* end) {
    return *q == '/' && q + 1 < end && q[1] == '>';
}

// Runs q up to the first character of the given classes that is not a '/' other than the start of
// "/>" (a lone '/' belongs to names and bare values); end when there is none.
char* scan_to(char* q, const char* end, uint8_t stops) {
    for (; q < end; ++q) {
        const uint8_t c = class_of(*q);
        if ((c & stops) == 0) continue;
        if (c != kSlash || tag_close_at(q, end)) return q;
    }
    return q;
}

// End of a start tag's element name: white space, '>', "/>" or end.
char* element_name_end(char* q, const char* end) {
    return scan_to(q, end, kSpace | kGreater | kSlash);
}

// End of an attribute name: '=', '>', "/>" or end. White space belongs to the name.
char* attribute_name_end(char* q, const char* end) {
    return scan_to(q, end, kEquals | kGreater | kSlash);
}

// End of an end tag's name: white space, '>' or end.
char* end_tag_name_end(char* q, const char* end) {
    while (q < end && (class_of(*q) & (kSpace | kGreater)) == 0) ++q;
    return q;
}

bool at(const drm_xml_parser* p, const char* where, std::string_view token) {
    return static_cast<size_t>(p->doc_end - where) >= token.size() &&
           std::memcmp(where, token.data(), token.size()) == 0;
}

char* find(const drm_xml_parser* p, char* from, std::string_view token) {
    std::string_view rest(from, static_cast<size_t>(p->doc_end - from));
    size_t hit = rest.find(token);
    return hit == std::string_view::npos ? nullptr : from + hit;
}

// The first processing instruction is skipped; without one the document must open with an "<s:"
// tag that has a quoted attribute before its '>'.
bool document_start(drm_xml_parser* p) {
    p->pos = p->doc_start;
    skip_space(p);
    if (at(p, p->pos, "<?")) {
        char* close = find(p, p->pos + 2, "?>");
        if (close != nullptr && close + 2 < p->doc_end) {
            p->pos = close + 2;
            return true;
        }
    }
    p->pos = p->doc_start;
    skip_space(p);
    if (!at(p, p->pos, "<s:")) return false;
    char* pair = find(p, p->pos + 3, "\">");
    if (pair == nullptr || pair + 2 >= p->doc_end) return false;
    p->pos = p->doc_start;
    return true;
}

bool push(drm_xml_parser* p, char* name) {
    if (p->depth + 1 > DRM_XML_MAX_DEPTH) return false;
    ++p->depth;
    p->stack[p->depth] = name;
    return true;
}

bool pop(drm_xml_parser* p) {
    if (p->depth < 1 || p->depth > DRM_XML_MAX_DEPTH) return false;
    p->stack[p->depth] = nullptr;
    --p->depth;
    return true;
}

void start_element(drm_xml_parser* p, char* name) {
    if (p->start_element != nullptr) p->start_element(p->user_data, p->table, name, p->attributes);
}

void end_element(drm_xml_parser* p, const char* name) {
    if (p->end_element != nullptr) p->end_element(p->user_data, name);
}

bool end_tag(drm_xml_parser* p) {
    if (p->depth < 1) return false;
    skip_space(p);
    char* name = p->pos;
    p->pos = end_tag_name_end(name, p->doc_end);
    if (p->pos >= p->doc_end) return false;
    char* name_end = p->pos;
    skip_space(p);
    if (p->pos >= p->doc_end || *p->pos != '>') return false;
    ++p->pos;
    *name_end = '\0';
    if (!ascii_iequal(name, p->stack[p->depth])) return false;
    end_element(p, name);
    return pop(p);
}

// Attributes of a start tag, up to and including its '>' or "/>".
bool attributes(drm_xml_parser* p, tag_end* how) {
    int32_t filled = 0;
    for (;;) {
        skip_space(p);
        if (p->pos >= p->doc_end) return false;
        char* name = p->pos;
        p->pos = attribute_name_end(name, p->doc_end);
        if (p->pos >= p->doc_end) return false;
        // A name without a value at the end of the tag is dropped.
        if (*p->pos == '>') {
            ++p->pos;
            *how = tag_end::open;
            return true;
        }
        if (*p->pos == '/') {
            p->pos += 2;
            *how = tag_end::self_closing;
            return true;
        }
        *p->pos++ = '\0';

        char* value = p->pos;
        char* value_end_at = nullptr;
        tag_end value_end = tag_end::none;
        if (p->pos < p->doc_end && *p->pos == '"') {
            value = ++p->pos;
            char* quote =
                static_cast<char*>(std::memchr(p->pos, '"', static_cast<size_t>(p->doc_end - p->pos)));
            if (quote == nullptr) return false;
            *quote = '\0';
            value_end_at = quote;
            p->pos = quote + 1;
        } else {
            // A bare value ends where an element name would.
            p->pos = element_name_end(p->pos, p->doc_end);
            if (p->pos >= p->doc_end) return false;
            char* stop = p->pos;
            if (*stop == '>') {
                value_end = tag_end::open;
                p->pos += 1;
            } else if (*stop == '/') {
                value_end = tag_end::self_closing;
                p->pos += 2;
            } else {
                p->pos += 1;
            }
            *stop = '\0';
            value_end_at = stop;
        }
        if (filled < DRM_XML_MAX_ATTRIBUTES) {
            p->attributes[filled] = {name, value, static_cast<int32_t>(value_end_at - value)};
            ++filled;
            p->attributes[filled] = {nullptr, nullptr, 0};
        }
        if (value_end != tag_end::none) {
            *how = value_end;
            return true;
        }
    }
}

// Empties the pairs: the list ends at its first empty pair.
void clear_attributes(drm_xml_parser* p) {
    p->attributes[0] = {nullptr, nullptr, 0};
}

// After '<' of a start tag.
bool start_tag(drm_xml_parser* p, tag_end* how) {
    skip_space(p);
    char* name = p->pos;
    p->pos = element_name_end(name, p->doc_end);
    if (p->pos >= p->doc_end) return false;
    if (!push(p, name)) return false;
    if (*p->pos == '>') {
        *p->pos++ = '\0';
        start_element(p, name);
        *how = tag_end::open;
        return true;
    }
    if (*p->pos == '/') {
        *p->pos = '\0';
        p->pos += 2;
        start_element(p, name);
        end_element(p, name);
        *how = tag_end::self_closing;
        return pop(p);
    }
    *p->pos++ = '\0';
    if (!attributes(p, how)) return false;
    start_element(p, name);
    clear_attributes(p);
    if (*how == tag_end::self_closing) {
        end_element(p, name);
        return pop(p);
    }
    return true;
}

// Text of an element whose start tag ended with '>'. Text is only accepted as the whole content.
bool element_text(drm_xml_parser* p) {
    skip_space(p);
    if (p->pos >= p->doc_end) return false;
    if (*p->pos == '<') return true;
    char* text = p->pos;
    char* lt = static_cast<char*>(std::memchr(text, '<', static_cast<size_t>(p->doc_end - text)));
    if (lt == nullptr) return false;
    *lt = '\0';
    if (p->text != nullptr) p->text(p->user_data, text, static_cast<int32_t>(lt - text));
    p->pos = lt + 1;
    if (p->pos >= p->doc_end || *p->pos != '/') return false;
    ++p->pos;
    return end_tag(p);
}

void skip_comment(drm_xml_parser* p) {
    char* content = p->pos + 4;
    char* close = find(p, content, "-->");
    if (close != nullptr) {
        p->pos = close + 3;
        return;
    }
    // Unterminated: reading resumes on the last bytes, which only white space lets through.
    char* resume = p->doc_end - 2;
    p->pos = resume > content ? resume : content;
}

}  // namespace

int32_t drm_xml_parser_run(drm_xml_parser* p) {
    if (!document_start(p)) return -1;
    for (;;) {
        skip_space(p);
        if (p->pos >= p->doc_end) return p->depth == 0 ? 0 : -1;
        if (*p->pos != '<') return -1;
        if (at(p, p->pos, "</")) {
            p->pos += 2;
            if (!end_tag(p)) return -1;
            // Whatever follows the outermost element is not read.
            if (p->depth == 0) return 0;
            continue;
        }
        if (at(p, p->pos, "<!--")) {
            skip_comment(p);
            continue;
        }
        ++p->pos;
        tag_end how = tag_end::none;
        if (!start_tag(p, &how)) return -1;
        if (how == tag_end::self_closing) {
            if (p->depth == 0) return 0;
            continue;
        }
        if (!element_text(p)) return -1;
    }
}
