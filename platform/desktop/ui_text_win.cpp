#include "platform/desktop/ui_text.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <string_view>
#include <unordered_map>

#include "platform/desktop/text_table.h"

namespace {

// Chosen once at start, read by every thread that builds a text.
std::atomic<InterfaceLanguage> currentLanguage{InterfaceLanguage::Chinese};

std::u16string FromUtf8(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), units);
    return std::u16string(wide.begin(), wide.end());
}

// The English texts of the program's own context, by their Chinese source.
const std::unordered_map<std::string_view, std::string_view>& EnglishTexts() {
    static const auto texts = [] {
        std::unordered_map<std::string_view, std::string_view> byChinese;
        for (const TextTableEntry& entry : EnglishTextTable())
            if (std::string_view(entry.context) == kTextContext)
                byChinese.emplace(entry.source, entry.translation);
        return byChinese;
    }();
    return texts;
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// A place marker as Qt reads one: "%", an optional "L", one or two digits.
struct Marker {
    std::size_t start;
    std::size_t end;
    int number;
};

std::vector<Marker> FindMarkers(const std::u16string& text) {
    std::vector<Marker> markers;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != u'%') {
            ++i;
            continue;
        }
        const std::size_t start = i++;
        if (i < text.size() && text[i] == u'L') ++i;
        // A "%" not followed by a digit is text; what follows it is read again.
        if (i >= text.size() || !IsDigit(text[i])) continue;
        int number = text[i++] - u'0';
        if (i < text.size() && IsDigit(text[i])) number = number * 10 + (text[i++] - u'0');
        markers.push_back({start, i, number});
    }
    return markers;
}

}  // namespace

std::u16string Text(const char* chinese) {
    if (currentLanguage.load() == InterfaceLanguage::English) {
        const auto& texts = EnglishTexts();
        if (const auto found = texts.find(chinese); found != texts.end())
            return FromUtf8(found->second);
    }
    return FromUtf8(chinese);
}

std::u16string WithArg(const std::u16string& text, const std::u16string& argument) {
    const std::vector<Marker> markers = FindMarkers(text);
    int lowest = INT_MAX;
    for (const Marker& marker : markers) lowest = std::min(lowest, marker.number);
    // Every marker with the lowest number takes the argument; without a
    // marker the text stays as it is.
    std::u16string result;
    std::size_t copied = 0;
    for (const Marker& marker : markers) {
        if (marker.number != lowest) continue;
        result.append(text, copied, marker.start - copied);
        result += argument;
        copied = marker.end;
    }
    result.append(text, copied);
    return result;
}

std::u16string WithArg(const std::u16string& text, long long number) {
    return WithArg(text, FromAscii(std::to_string(number)));
}

std::u16string CancelledText() {
    return Text("已取消");
}

bool LanguageFromName(const std::u16string& name, InterfaceLanguage& language) {
    std::u16string lower = name;
    for (char16_t& c : lower)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (lower == u"zh") {
        language = InterfaceLanguage::Chinese;
        return true;
    }
    if (lower == u"en") {
        language = InterfaceLanguage::English;
        return true;
    }
    return false;
}

bool InstallTranslations(InterfaceLanguage language) {
    // The texts are compiled in: nothing can be missing.
    currentLanguage.store(language);
    return true;
}

std::vector<std::u16string> TranslationFolders() {
    return {};
}
