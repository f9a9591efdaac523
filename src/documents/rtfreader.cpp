#include "documents/rtfreader.h"

#include "documents/rtfcodepage.h"
#include "documents/rtflexer.h"
#include "documents/rtfwords.h"

#include <QColor>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <algorithm>
#include <map>
#include <vector>

namespace documents::rtf {

namespace {

enum class Dest : uint8_t {
    Text,
    Skip,
    FontTable,
    ColorTable,
    Picture,
    ListText,
    NumberingDef, // {\*\pn ...}: the old numbering of one paragraph
    ListTable,
    ListDef,
    OverrideTable,
    Override,
};

struct CharState {
    int font = -1; // -1: the default font (\deff)
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int foreground = 0; // colour table indexes; 0 is "automatic"
    int background = 0;
    int vertical = 0; // 1 superscript, 2 subscript
    bool operator==(const CharState&) const = default;
};

struct ParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int left = 0, right = 0, first = 0, before = 0, after = 0; // twips
    int listOverride = 0;                                      // \ls
    int level = 0;                                             // \ilvl
    int numbering = 0; // a QTextListFormat::Style from {\*\pn}, 0 for none
};

struct Group {
    CharState chars;
    ParaState para;
    Dest dest = Dest::Text;
    bool owner = false; // the destination began in this group
    bool starred = false;
    int unicodeSkip = 1;
};

struct Font {
    QString name;
    int codePage = 0;
};

struct Picture {
    int kind = 0; // 1 PNG, 2 JPEG
    QByteArray data;
    int pendingNibble = -1;
    int goalWidth = 0, goalHeight = 0; // twips
    int scaleX = 100, scaleY = 100;
};

// Twips (1/20 point) to the document's units, which the editor shows as points.
qreal points(int twips) {
    return twips / 20.0;
}

int clampTwips(int value) {
    return std::clamp(value, -31680, 31680);
}

QTextListFormat::Style styleOfNumberFormat(int nfc) {
    switch (nfc) {
    case 0:
        return QTextListFormat::ListDecimal;
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    case 255:
        return QTextListFormat::ListStyleUndefined; // no number shown
    default:
        return QTextListFormat::ListDisc;
    }
}

// The style of a list paragraph known only by its printed label ("1.", "a)", a bullet).
QTextListFormat::Style styleOfLabel(const QString& label) {
    const QString text = label.trimmed();
    if (text.isEmpty()) return QTextListFormat::ListDisc;
    const QChar first = text.at(0);
    if (first.isDigit()) return QTextListFormat::ListDecimal;
    if (text.size() > 1 && (text.endsWith(u'.') || text.endsWith(u')'))) {
        if (first.isLower()) return QTextListFormat::ListLowerAlpha;
        if (first.isUpper()) return QTextListFormat::ListUpperAlpha;
    }
    return QTextListFormat::ListDisc;
}

class Reader {
public:
    explicit Reader(QTextDocument& doc) : doc_(doc), cursor_(&doc) {}
    QString read(QByteArrayView data);

private:
    Group& top() { return stack_.back(); }
    void openGroup();
    void closeGroup();
    void word(const Token& token);
    bool destination(Word word);
    void symbol(char symbol);
    void text(const char* bytes, qsizetype size);
    void textByte(char byte);
    void flushBytes();
    void appendChar(char16_t c);
    void fontTableText(const char* bytes, qsizetype size);
    void endFontEntry();
    void colorTableText(const char* bytes, qsizetype size);
    void pictureText(const char* bytes, qsizetype size);
    const CodePage* codePage();

    void ensureBlock();
    void flushText();
    void finishParagraph(bool last);
    QTextCharFormat charFormat(const CharState& state);
    void insertPicture();

    QTextDocument& doc_;
    QTextCursor cursor_;
    std::vector<Group> stack_;
    int skipDepth_ = 0; // groups being passed over beyond the depth limit
    bool tooDeep_ = false;
    int pendingSkip_ = 0; // characters after \uN standing in for it
    QByteArray bytes_;    // text in a double-byte code page, not decoded yet
    const CodePage* pageOfBytes_ = nullptr;

    int ansiCodePage_ = 1250;
    int defaultFont_ = 0;
    std::map<int, Font> fonts_;
    int fontEntry_ = 0;
    QString fontName_; // the name of the font table entry being read
    std::vector<QColor> colors_;
    int red_ = -1, green_ = -1, blue_ = -1;
    const CodePage* codePageCache_ = nullptr;
    int codePageFont_ = -2;

    QString pending_; // text read in the current character format, not yet in the document
    CharState pendingChars_;
    bool formatCached_ = false;
    CharState cachedChars_;
    QTextCharFormat cachedFormat_;
    bool breakPending_ = false; // a paragraph ended; the next content opens a new block
    bool paragraphTouched_ = false;

    QString listLabel_;
    int numbering_ = 0, numberingLevel_ = 0;
    std::map<int, std::vector<int>> listLevels_; // \listid -> \levelnfc per level
    std::vector<int> definedLevels_;
    int definedListId_ = 0;
    std::map<int, int> overrides_; // \ls -> \listid
    int overrideListId_ = 0, overrideNumber_ = 0;
    std::map<std::tuple<int, int, int>, QTextList*> openLists_;

    Picture picture_;
    int pictures_ = 0;
};

QString Reader::read(QByteArrayView data) {
    Lexer lexer(data);
    stack_.reserve(kMaxGroupDepth + 1);
    stack_.push_back(Group{});
    bool finished = false;
    for (Token token = lexer.next(); token.type != Token::End && !finished; token = lexer.next()) {
        if (skipDepth_ > 0) {
            if (token.type == Token::GroupStart) ++skipDepth_;
            if (token.type == Token::GroupEnd) --skipDepth_;
            continue;
        }
        if (pendingSkip_ > 0 && token.type != Token::GroupStart && token.type != Token::GroupEnd) {
            if (token.type == Token::Text && token.size > pendingSkip_) {
                token.data += pendingSkip_;
                token.size -= pendingSkip_;
                pendingSkip_ = 0;
            } else {
                pendingSkip_ -= token.type == Token::Text ? int(token.size) : 1;
                continue;
            }
        }
        if (token.type != Token::Text && token.type != Token::HexByte) flushBytes();
        switch (token.type) {
        case Token::GroupStart:
            pendingSkip_ = 0;
            if (int(stack_.size()) > kMaxGroupDepth) {
                tooDeep_ = true;
                skipDepth_ = 1;
            } else {
                openGroup();
            }
            break;
        case Token::GroupEnd:
            pendingSkip_ = 0;
            if (stack_.size() > 1) closeGroup();
            // The group opened by "{\rtf1" holds the whole document; anything after it is not.
            finished = stack_.size() == 1;
            break;
        case Token::Word:
            word(token);
            break;
        case Token::Symbol:
            symbol(token.symbol);
            break;
        case Token::HexByte:
            textByte(token.symbol);
            break;
        case Token::Text:
            text(token.data, token.size);
            break;
        case Token::Binary:
            if (top().dest == Dest::Picture) picture_.data.append(token.data, token.size);
            break;
        case Token::End:
            break;
        }
    }
    flushBytes();
    finishParagraph(true);

    QStringList notes;
    if (tooDeep_)
        notes << QStringLiteral("Dokument ma więcej niż %1 zagnieżdżonych grup; ich treści nie "
                                "wczytano.")
                     .arg(kMaxGroupDepth);
    if (!finished)
        notes << QStringLiteral("Dokument jest niekompletny; wczytano tyle, ile się dało.");
    return notes.join(u' ');
}

void Reader::openGroup() {
    Group group = top();
    group.owner = false;
    group.starred = false;
    stack_.push_back(group);
}

void Reader::closeGroup() {
    const Group closed = top();
    if (closed.dest == Dest::FontTable && !fontName_.isEmpty()) endFontEntry();
    stack_.pop_back();
    if (!closed.owner) return;
    switch (closed.dest) {
    case Dest::Picture:
        if (top().dest == Dest::Text) insertPicture();
        break;
    case Dest::NumberingDef:
        top().para.numbering = numbering_;
        top().para.level = numberingLevel_;
        break;
    case Dest::ListDef:
        listLevels_[definedListId_] = definedLevels_;
        break;
    case Dest::Override:
        overrides_[overrideNumber_] = overrideListId_;
        break;
    default:
        break;
    }
}

bool Reader::destination(Word word) {
    Group& group = top();
    Dest dest;
    switch (word) {
    case W_fonttbl:
        dest = Dest::FontTable;
        break;
    case W_colortbl:
        dest = Dest::ColorTable;
        break;
    case W_pict:
        dest = Dest::Picture;
        break;
    case W_listtext:
        dest = Dest::ListText;
        break;
    case W_pn:
        dest = Dest::NumberingDef;
        break;
    case W_listtable:
        dest = Dest::ListTable;
        break;
    case W_list:
        if (group.dest != Dest::ListTable) return false;
        dest = Dest::ListDef;
        break;
    case W_listoverridetable:
        dest = Dest::OverrideTable;
        break;
    case W_listoverride:
        if (group.dest != Dest::OverrideTable) return false;
        dest = Dest::Override;
        break;
    case W_transparent:
        group.starred = false;
        return true;
    case W_skip:
        dest = Dest::Skip;
        break;
    default:
        return false;
    }
    // A destination inside one that is not the body (a picture in a font table) is not read.
    const bool nested = (group.dest == Dest::ListTable && dest == Dest::ListDef) ||
                        (group.dest == Dest::OverrideTable && dest == Dest::Override);
    if (group.dest != Dest::Text && !nested) dest = Dest::Skip;
    switch (dest) {
    case Dest::Picture:
        picture_ = Picture{};
        break;
    case Dest::ListText:
        listLabel_.clear();
        break;
    case Dest::NumberingDef:
        numbering_ = QTextListFormat::ListDecimal;
        numberingLevel_ = 0;
        break;
    case Dest::ListDef:
        definedLevels_.clear();
        definedListId_ = 0;
        break;
    case Dest::Override:
        overrideListId_ = overrideNumber_ = 0;
        break;
    default:
        break;
    }
    group.dest = dest;
    group.owner = true;
    group.starred = false;
    return true;
}

void Reader::word(const Token& token) {
    Group& group = top();
    if (group.dest == Dest::Skip) return;
    const Word w = lookupWord(token.word);
    if (w == W_unknown) {
        // An unknown destination marked as ignorable is passed over whole; an unknown word is not.
        if (group.starred) {
            group.dest = Dest::Skip;
            group.owner = true;
        }
        return;
    }
    if (destination(w)) return;
    if (group.starred) {
        group.dest = Dest::Skip;
        group.owner = true;
        return;
    }
    const int param = token.param;
    const bool on = !token.hasParam || param != 0;
    CharState& chars = group.chars;
    ParaState& para = group.para;

    // Unicode and the bytes standing in for it are the same in every destination.
    if (w == W_uc) {
        group.unicodeSkip = std::clamp(param, 0, 16);
        return;
    }
    if (w == W_u) {
        appendChar(char16_t(param < 0 ? param + 65536 : param));
        pendingSkip_ = group.unicodeSkip;
        return;
    }
    switch (group.dest) {
    case Dest::FontTable:
        if (w == W_f) {
            fontEntry_ = param;
            fonts_[param];
            codePageFont_ = -2;
        } else if (w == W_fcharset) {
            fonts_[fontEntry_].codePage = CodePage::forCharset(param);
            codePageFont_ = -2;
        } else if (w == W_cpg) {
            fonts_[fontEntry_].codePage = param;
            codePageFont_ = -2;
        }
        return;
    case Dest::ColorTable:
        if (w == W_red) red_ = std::clamp(param, 0, 255);
        if (w == W_green) green_ = std::clamp(param, 0, 255);
        if (w == W_blue) blue_ = std::clamp(param, 0, 255);
        return;
    case Dest::Picture:
        if (w == W_pngblip) picture_.kind = 1;
        if (w == W_jpegblip) picture_.kind = 2;
        if (w == W_picwgoal) picture_.goalWidth = std::clamp(param, 0, 31680);
        if (w == W_pichgoal) picture_.goalHeight = std::clamp(param, 0, 31680);
        if (w == W_picscalex) picture_.scaleX = std::clamp(param, 1, 1000);
        if (w == W_picscaley) picture_.scaleY = std::clamp(param, 1, 1000);
        return;
    case Dest::NumberingDef:
        if (w == W_pnlvlblt) numbering_ = QTextListFormat::ListDisc;
        if (w == W_pndec) numbering_ = QTextListFormat::ListDecimal;
        if (w == W_pnlcltr) numbering_ = QTextListFormat::ListLowerAlpha;
        if (w == W_pnucltr) numbering_ = QTextListFormat::ListUpperAlpha;
        if (w == W_pnlcrm) numbering_ = QTextListFormat::ListLowerRoman;
        if (w == W_pnucrm) numbering_ = QTextListFormat::ListUpperRoman;
        if (w == W_pnlvl) numberingLevel_ = std::clamp(param - 1, 0, 8);
        return;
    case Dest::ListTable:
        return;
    case Dest::ListDef:
        if (w == W_listlevel && definedLevels_.size() < 9) definedLevels_.push_back(0);
        if (w == W_levelnfc && !definedLevels_.empty()) definedLevels_.back() = param;
        if (w == W_listid) definedListId_ = param;
        return;
    case Dest::OverrideTable:
        return;
    case Dest::Override:
        if (w == W_listid) overrideListId_ = param;
        if (w == W_ls) overrideNumber_ = param;
        return;
    case Dest::Text:
    case Dest::ListText:
    case Dest::Skip:
        break;
    }

    switch (w) {
    case W_ansicpg:
        if (param > 0) ansiCodePage_ = param;
        codePageFont_ = -2;
        break;
    case W_mac:
        ansiCodePage_ = 10000;
        break;
    case W_pc:
        ansiCodePage_ = 437;
        break;
    case W_pca:
        ansiCodePage_ = 850;
        break;
    case W_deff:
        defaultFont_ = param;
        codePageFont_ = -2;
        break;
    case W_f:
        chars.font = param;
        break;
    case W_fs:
        chars.halfPoints = token.hasParam ? std::clamp(param, 2, 3200) : 24;
        break;
    case W_b:
        chars.bold = on;
        break;
    case W_i:
        chars.italic = on;
        break;
    case W_ul:
        chars.underline = on;
        break;
    case W_ulnone:
        chars.underline = false;
        break;
    case W_strike:
        chars.strike = on;
        break;
    case W_cf:
        chars.foreground = std::max(param, 0);
        break;
    case W_highlight:
    case W_cb:
        chars.background = std::max(param, 0);
        break;
    case W_plain:
        chars = CharState{};
        break;
    case W_super:
        chars.vertical = on ? 1 : 0;
        break;
    case W_sub:
        chars.vertical = on ? 2 : 0;
        break;
    case W_nosupersub:
        chars.vertical = 0;
        break;
    case W_pard:
        para = ParaState{};
        break;
    case W_ql:
        para.alignment = Qt::AlignLeft;
        break;
    case W_qc:
        para.alignment = Qt::AlignHCenter;
        break;
    case W_qr:
        para.alignment = Qt::AlignRight;
        break;
    case W_qj:
        para.alignment = Qt::AlignJustify;
        break;
    case W_li:
        para.left = clampTwips(param);
        break;
    case W_ri:
        para.right = clampTwips(param);
        break;
    case W_fi:
        para.first = clampTwips(param);
        break;
    case W_sb:
        para.before = std::clamp(param, 0, 31680);
        break;
    case W_sa:
        para.after = std::clamp(param, 0, 31680);
        break;
    case W_ls:
        para.listOverride = param;
        break;
    case W_ilvl:
        para.level = std::clamp(param, 0, 8);
        break;
    case W_par:
    case W_row:
        if (group.dest == Dest::Text) finishParagraph(false);
        break;
    case W_line:
        appendChar(0x2028);
        break;
    case W_tab:
    case W_cell:
        appendChar(u'\t');
        break;
    case W_emdash:
        appendChar(0x2014);
        break;
    case W_endash:
        appendChar(0x2013);
        break;
    case W_bullet:
        appendChar(0x2022);
        break;
    case W_lquote:
        appendChar(0x2018);
        break;
    case W_rquote:
        appendChar(0x2019);
        break;
    case W_ldblquote:
        appendChar(0x201C);
        break;
    case W_rdblquote:
        appendChar(0x201D);
        break;
    case W_emspace:
        appendChar(0x2003);
        break;
    case W_enspace:
        appendChar(0x2002);
        break;
    default:
        break;
    }
}

void Reader::symbol(char symbol) {
    switch (symbol) {
    case '*':
        top().starred = true;
        break;
    case '~':
        appendChar(0x00A0);
        break;
    case '-':
        appendChar(0x00AD);
        break;
    case '_':
        appendChar(0x2011);
        break;
    case '\\':
    case '{':
    case '}':
        text(&symbol, 1);
        break;
    default:
        break;
    }
}

const CodePage* Reader::codePage() {
    const int font = top().dest == Dest::FontTable ? fontEntry_ : top().chars.font;
    if (font != codePageFont_ || !codePageCache_) {
        const auto found = fonts_.find(font < 0 ? defaultFont_ : font);
        const int number = found != fonts_.end() && found->second.codePage > 0
                               ? found->second.codePage
                               : ansiCodePage_;
        codePageCache_ = CodePage::forNumber(number);
        codePageFont_ = font;
    }
    return codePageCache_;
}

void Reader::text(const char* bytes, qsizetype size) {
    switch (top().dest) {
    case Dest::Text:
    case Dest::ListText:
        break;
    case Dest::FontTable:
        fontTableText(bytes, size);
        return;
    case Dest::ColorTable:
        colorTableText(bytes, size);
        return;
    case Dest::Picture:
        pictureText(bytes, size);
        return;
    default:
        return;
    }
    const CodePage* page = codePage();
    if (page->multiByte()) {
        // Kept until the run of bytes ends, so that a character split over two escapes is whole.
        if (pageOfBytes_ != page) flushBytes();
        pageOfBytes_ = page;
        bytes_.append(bytes, size);
        return;
    }
    flushBytes();
    QString decoded;
    page->decode(bytes, size, decoded);
    for (const QChar c : std::as_const(decoded))
        appendChar(c.unicode());
}

void Reader::flushBytes() {
    if (bytes_.isEmpty()) return;
    QString decoded;
    pageOfBytes_->decode(bytes_.constData(), bytes_.size(), decoded);
    bytes_.clear();
    for (const QChar c : std::as_const(decoded))
        appendChar(c.unicode());
}

void Reader::textByte(char byte) {
    // An escaped byte in a picture is not hex text; elsewhere it is text like any other.
    if (top().dest == Dest::Picture) return;
    text(&byte, 1);
}

void Reader::appendChar(char16_t c) {
    const Group& group = top();
    if (c < 0x20 && c != u'\t') return;
    if (group.dest == Dest::FontTable) {
        if (fontName_.size() < 1024) fontName_ += QChar(c);
        return;
    }
    if (group.dest == Dest::ListText) {
        listLabel_ += QChar(c);
        return;
    }
    if (group.dest != Dest::Text) return;
    if (!pending_.isEmpty() && !(pendingChars_ == group.chars)) flushText();
    if (pending_.isEmpty()) {
        ensureBlock();
        pendingChars_ = group.chars;
    }
    pending_ += QChar(c);
    paragraphTouched_ = true;
}

void Reader::fontTableText(const char* bytes, qsizetype size) {
    // Decoded a byte at a time: a font name in a double-byte page is not worth a buffer.
    const CodePage* page = codePage();
    for (qsizetype i = 0; i < size; ++i) {
        if (bytes[i] == ';')
            endFontEntry();
        else if (fontName_.size() < 1024)
            page->decode(bytes + i, 1, fontName_);
    }
}

void Reader::endFontEntry() {
    fontName_.removeIf([](QChar c) { return c.unicode() < 0x20; });
    fonts_[fontEntry_].name = fontName_.trimmed().left(256);
    formatCached_ = false;
    fontName_.clear();
}

void Reader::colorTableText(const char* bytes, qsizetype size) {
    for (qsizetype i = 0; i < size; ++i) {
        if (bytes[i] != ';') continue;
        // An entry without components is "automatic": the text's own colour.
        formatCached_ = false;
        colors_.push_back(red_ < 0 && green_ < 0 && blue_ < 0
                              ? QColor()
                              : QColor(std::max(red_, 0), std::max(green_, 0), std::max(blue_, 0)));
        red_ = green_ = blue_ = -1;
    }
}

void Reader::pictureText(const char* bytes, qsizetype size) {
    Picture& pic = picture_;
    pic.data.reserve(pic.data.size() + size / 2);
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes[i];
        int value;
        if (c >= '0' && c <= '9')
            value = c - '0';
        else if (c >= 'a' && c <= 'f')
            value = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            value = c - 'A' + 10;
        else
            continue;
        if (pic.pendingNibble < 0) {
            pic.pendingNibble = value;
        } else {
            pic.data += char(pic.pendingNibble * 16 + value);
            pic.pendingNibble = -1;
        }
    }
}

void Reader::ensureBlock() {
    if (!breakPending_) return;
    cursor_.insertBlock(QTextBlockFormat(), QTextCharFormat());
    breakPending_ = false;
}

QTextCharFormat Reader::charFormat(const CharState& state) {
    if (formatCached_ && cachedChars_ == state) return cachedFormat_;
    QTextCharFormat format;
    const auto font = fonts_.find(state.font < 0 ? defaultFont_ : state.font);
    if (font != fonts_.end() && !font->second.name.isEmpty())
        format.setFontFamilies(QStringList{font->second.name});
    format.setFontPointSize(state.halfPoints / 2.0);
    if (state.bold) format.setFontWeight(QFont::Bold);
    if (state.italic) format.setFontItalic(true);
    if (state.underline) format.setFontUnderline(true);
    if (state.strike) format.setFontStrikeOut(true);
    const auto color = [this](int index) {
        return index > 0 && index < int(colors_.size()) ? colors_[size_t(index)] : QColor();
    };
    if (color(state.foreground).isValid()) format.setForeground(color(state.foreground));
    if (color(state.background).isValid()) format.setBackground(color(state.background));
    if (state.vertical == 1) format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    if (state.vertical == 2) format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    cachedChars_ = state;
    cachedFormat_ = format;
    formatCached_ = true;
    return format;
}

void Reader::flushText() {
    if (pending_.isEmpty()) return;
    cursor_.insertText(pending_, charFormat(pendingChars_));
    pending_.clear();
}

void Reader::finishParagraph(bool last) {
    if (last && (breakPending_ || !paragraphTouched_)) return;
    ensureBlock();
    flushText();
    const ParaState& para = top().para;

    // A list paragraph: by its list (\ls) and level, or by its old-style numbering, or failing
    // both by the label written before it.
    QTextListFormat::Style style = QTextListFormat::ListStyleUndefined;
    if (para.listOverride > 0) {
        const auto listId = overrides_.find(para.listOverride);
        const auto levels =
            listId == overrides_.end() ? listLevels_.end() : listLevels_.find(listId->second);
        if (levels != listLevels_.end() && size_t(para.level) < levels->second.size())
            style = styleOfNumberFormat(levels->second[size_t(para.level)]);
        else
            style = styleOfLabel(listLabel_);
    } else if (para.numbering != 0) {
        style = QTextListFormat::Style(para.numbering);
    } else if (!listLabel_.isEmpty()) {
        style = styleOfLabel(listLabel_);
    }

    QTextBlockFormat format;
    format.setAlignment(para.alignment);
    format.setTopMargin(points(para.before));
    format.setBottomMargin(points(para.after));
    format.setRightMargin(points(para.right));
    if (style == QTextListFormat::ListStyleUndefined) {
        // A list's own indent stands for the margins other programs give its paragraphs.
        format.setLeftMargin(points(para.left));
        format.setTextIndent(points(para.first));
    }
    cursor_.setBlockFormat(format);
    if (cursor_.block().length() <= 1) cursor_.setBlockCharFormat(charFormat(top().chars));

    if (style == QTextListFormat::ListStyleUndefined) {
        openLists_.clear();
    } else {
        const auto key = std::make_tuple(para.listOverride, para.level, int(style));
        // Levels of one list stay one list around their nested items; another list ends it.
        std::erase_if(openLists_, [&](const auto& open) {
            return std::get<0>(open.first) != para.listOverride ||
                   (para.listOverride == 0 && std::get<2>(open.first) != int(style));
        });
        auto list = openLists_.find(key);
        if (list != openLists_.end()) {
            list->second->add(cursor_.block());
        } else {
            QTextListFormat listFormat;
            listFormat.setStyle(style);
            listFormat.setIndent(para.level + 1);
            openLists_[key] = cursor_.createList(listFormat);
        }
    }
    listLabel_.clear();
    paragraphTouched_ = false;
    breakPending_ = !last;
}

void Reader::insertPicture() {
    Picture pic = std::move(picture_);
    picture_ = Picture{};
    if (pic.kind == 0 || pic.data.isEmpty()) return;
    const QImage image = QImage::fromData(pic.data, pic.kind == 1 ? "PNG" : "JPEG");
    if (image.isNull()) return;
    ensureBlock();
    flushText();
    const QString name = QStringLiteral("rtf-image-%1").arg(++pictures_);
    doc_.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    // The picture's size on the page, unless that is the image's own size at 96 dots per inch.
    const int width = pic.goalWidth > 0 ? pic.goalWidth * pic.scaleX / 100 / 15 : image.width();
    const int height = pic.goalHeight > 0 ? pic.goalHeight * pic.scaleY / 100 / 15 : image.height();
    if (width != image.width() || height != image.height()) {
        format.setWidth(std::max(width, 1));
        format.setHeight(std::max(height, 1));
    }
    cursor_.insertImage(format);
    paragraphTouched_ = true;
}

} // namespace

QString readInto(QByteArrayView data, QTextDocument& doc) {
    Reader reader(doc);
    return reader.read(data);
}

} // namespace documents::rtf
