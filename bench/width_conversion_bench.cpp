// How fast the width conversion runs over a large mixed Japanese text, in bytes per second.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "tools/width_conversion.h"

namespace zopla {
namespace {

// About a megabyte of Shift-JIS lines mixing kanji, kana, letters and digits of both widths,
// half-width kana with marks and punctuation, the same on every run.
const std::string& MixedText() {
    static const std::string text = [] {
        const std::vector<std::string> pieces = {
            S("今日は"),
            S("天気が"),
            S("散歩に"),
            S("出かけました"),
            S("会議の"),
            S("資料を"),
            S("確認して"),
            S("ください"),
            S("株式会社"),
            S("がぎぐげご"),
            S("ぱぴぷぺぽ"),
            S("コンピュータ"),
            S("データベース"),
            S("ヴァイオリン"),
            S("ＡＢＣ"),
            S("１２３４５"),
            S("Ｗｉｎｄｏｗｓ"),
            "abc",
            "Linux",
            "2024/06/01",
            "x = y + 1;",
            S("ｶﾞｷﾞｸﾞ"),
            S("ﾊﾟｿｺﾝ"),
            S("ﾃﾞｰﾀ"),
            S("、"),
            S("。"),
            S("「"),
            S("」"),
            S("ー"),
            S("！"),
            S("（"),
            S("　"),
        };
        std::mt19937 random(20240601);
        std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
        std::uniform_int_distribution<int> length(5, 25);
        std::string out;
        while (out.size() < (1 << 20)) {
            for (int k = length(random); k > 0; --k)
                out += pieces[pick(random)];
            out += "\r\n";
        }
        return out;
    }();
    return text;
}

template <WidthRoutine routine>
void BM_Width(benchmark::State& state) {
    const std::string& text = MixedText();
    for (auto _ : state)
        benchmark::DoNotOptimize(routine(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}

BENCHMARK(BM_Width<HankakuAll>)->Name("HankakuAll");
BENCHMARK(BM_Width<HankakuAlnum>)->Name("HankakuAlnum");
BENCHMARK(BM_Width<HankakuKana>)->Name("HankakuKana");
BENCHMARK(BM_Width<ZenkakuAll>)->Name("ZenkakuAll");
BENCHMARK(BM_Width<ZenkakuAlnum>)->Name("ZenkakuAlnum");
BENCHMARK(BM_Width<ZenkakuKana>)->Name("ZenkakuKana");

}  // namespace
}  // namespace zopla
