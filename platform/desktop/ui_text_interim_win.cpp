// The interface's texts on Windows until the build's string table of the
// translations is there: every text is the Chinese one.
#include <windows.h>

#include <string>

#include "platform/desktop/ui_text.h"

std::u16string Text(const char* chinese) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, chinese, -1, nullptr, 0);
    if (units <= 1) return {};
    std::u16string text(std::size_t(units), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, chinese, -1, reinterpret_cast<wchar_t*>(text.data()), units);
    text.pop_back();  // the terminating zero
    return text;
}

std::u16string WithArg(const std::u16string& text, const std::u16string& argument) {
    // Find the lowest marker number, then replace every marker with it.
    const auto markerAt = [&text](std::size_t i, std::size_t& length) {
        if (text[i] != u'%' || i + 1 >= text.size() || text[i + 1] < u'1' || text[i + 1] > u'9')
            return 0;
        int number = text[i + 1] - u'0';
        length = 2;
        if (i + 2 < text.size() && text[i + 2] >= u'0' && text[i + 2] <= u'9') {
            number = number * 10 + (text[i + 2] - u'0');
            length = 3;
        }
        return number;
    };
    int lowest = 0;
    for (std::size_t i = 0, length = 0; i < text.size(); ++i)
        if (const int number = markerAt(i, length); number && (!lowest || number < lowest))
            lowest = number;
    if (!lowest) return text;
    std::u16string result;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        if (markerAt(i, length) == lowest) {
            result += argument;
            i += length;
        } else {
            result.push_back(text[i++]);
        }
    }
    return result;
}

std::u16string WithArg(const std::u16string& text, long long number) {
    const std::string digits = std::to_string(number);
    return WithArg(text, std::u16string(digits.begin(), digits.end()));
}

std::u16string CancelledText() {
    return Text("已取消");
}

bool LanguageFromName(const std::u16string& name, InterfaceLanguage& language) {
    std::u16string lower = name;
    for (char16_t& c : lower)
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
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
    // No English texts yet: the interface stays Chinese.
    return language == InterfaceLanguage::Chinese;
}

std::vector<std::u16string> TranslationFolders() {
    return {};
}
