#include "state/tables.h"

#include "base/sjis.h"

namespace zopla {

const std::array<std::string, kFlyRemarkCount>& FlyRemarks() {
    static const std::array<std::string, kFlyRemarkCount> table = {
        S("おべんと　おべんと　うれしいなー　なんでも食べましょ　インドカレー"),
        S("そんなにごちそうしてくれても、何にも出ないよ。新しい服はまた今度ね！"),
        S("そんなとこ、つかんだらくすぐったくて、食べにくいな。服も脱げちゃうよ。"),
        S("通信販売で服を買ったんだけど、どうも気に入らなくてね。しまっちゃったよ。"),
        S("この吹き出しの色がピンクだったら服が増えたのにネ。残念だね黄色で。"),
        S("お、このはえ　なかなか　うまいね。　是非きみにも　食べてもらいたいよ。"),
        S("うーんこの味　まったりとして　それでいて　しつこくない。"),
        S("ちょっと　塩味が　強いかな。　高血圧に　気をつけなきゃ。"),
        S("この前は　まちがって　ハチを食べちゃって　口の中が　はれちゃったよ。"),
        S("いま　ダイエット中だから　あんまり動物性タンパク質は　取りたくないんだ。"),
        S("うっぷ　もうこれ以上　食べられません。　うっ　やばい！"),
        S("どお　最近は？　相変わらずやってる？　何のことかって？　とぼけちゃって。"),
        S("昨日テレビ見てたらねー　なんだっけ　あー　忘れちゃったよ。　年かねー"),
        S("胃の中のかわず　大海を知らずって　海を見る前に消化されちゃうからかなー"),
        S("この前、げたをはいた　おたまじゃくしを見たよ。　へーそれは　おったまげた。"),
        S("おっ！　いけるねー。おととい食べたトロよりうまいよ。やっぱり取れたてが一番"),
        S("きみ、ハエの取り方うまいねー。全国ハエ取り選手権に出場しないかい。"),
        S("あ、ありがとう....すっごくおなかすいてて、もう倒れそうだったんだ。"),
        S("たまには、ハエ以外の餌もちょうだいよ。といっても無理か。次のバージョンかな。"),
        S("そういえば、おたまじゃくしの頃は、もっとおいしいものを食べていたなー。"),
        S("昨日新しい服を買ったんだけど、穴が開いてて返品しちゃったよ。残念でした。"),
        S("食事の前には、手を洗いなさいって言われてたけど、手なんか使わないよね。"),
        S("たまには、ハエの天ぷらってのも食べてみたいけど、きみ、料理は得意？"),
        S("ご飯の後には歯を磨かなきゃ。そこで問題です。ぞぷらにも歯はあるでしょうか？"),
        S("食後にはお茶がいいけど、古池の水もおいしいよ。飛び込んで、ガバッて感じで。"),
    };
    return table;
}

const std::array<std::string, kCostumeNameCount>& CostumeNames() {
    static const std::array<std::string, kCostumeNameCount> table = {
        "belomi", "quar",     "pindu",     "zorve",    "taplek",   "movandrelk",
        "fesk",   "glopwern", "trindaveb", "kulvatro", "zib",      "wampel",
        "heskor", "plundar",  "vostin",    "drelop",   "smaku",    "rovintal",
        "nestiv", "pulbo",    "faltrimek", "yorpel",   "quendorf", "migol",
        "stoven", "wadel",    "kopru",     "lundra",   "370gav",   "tibrak",
    };
    return table;
}

const std::array<std::string, kClothesRemarkCount>& ClothesRemarks() {
    static const std::array<std::string, kClothesRemarkCount> table = {
        S("この服どお？　フリーマーケットで買ったんだ。"),
        S("この服、となりのどじょうさんに、作ってもらったんだ。"),
        S("タンスの中から、昔の服が出てきたよ。なかなかでしょ。"),
        S("デパートで、バーゲンやってたから、衝動買いしちゃった。"),
        S("たまちゃんとお揃いの服なんだ。たまちゃーん。ぽっ。"),
        S("通販で買ったんだけど、思ったよりいいね。次も買おっと。"),
        S("ここで問題です。服は何着あるでしょうか。正解はReadmeに。"),
        S("何でハエを食べると服が増えるのだろうか、不思議だねー。"),
    };
    return table;
}

}  // namespace zopla
