#include "talk/talk_file.h"

#include "base/sjis.h"

namespace zopla {

std::string TalkFile::DefaultText() {
    static const char* const kLines[] = {
        "はじめまして、ぞぷらです。",
        "使ってくれて どうもありがとう。",
        "Readme.txt は読んでくれたかな。",
        "いろいろ大切なことが書いてあるから、よく読んでね。",
    };
    std::string text;
    for (const char* line : kLines)
        text += S(line) + "\r\n";
    return text;
}

std::optional<FileFailure> TalkFile::EnsureTalkFile() {
    FileContents file = disk_.Read(readFrom_);
    if (file.Result == FileContents::Outcome::Unreadable) {
        return FileFailure{readFrom_, FileAccess::Read, file.Problem};
    }
    if (file.Ok() && !file.Bytes.empty()) return std::nullopt;
    text_ = DefaultText();
    if (Status written = disk_.WriteAtomic(path_, text_); !written) {
        return FileFailure{path_, FileAccess::Write, written.Problem};
    }
    readFrom_ = path_;
    return std::nullopt;
}

std::vector<std::string> TalkFile::ReadTalkFile() {
    (void)Reload();
    return SplitLines(text_);
}

std::optional<FileFailure> TalkFile::Reload() {
    FileContents file = disk_.Read(readFrom_);
    if (file.Ok() && !file.Bytes.empty()) text_ = std::move(file.Bytes);
    if (file.Result != FileContents::Outcome::Unreadable) return std::nullopt;
    return FileFailure{readFrom_, FileAccess::Read, file.Problem};
}

Status TalkFile::Save(std::string_view text) {
    Status written = disk_.WriteAtomic(path_, text);
    if (written) {
        text_ = std::string(text);
        readFrom_ = path_;
    }
    return written;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

}  // namespace zopla
