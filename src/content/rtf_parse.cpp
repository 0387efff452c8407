#include "rtf_parse.h"

#include "rtf_keywords.h"
#include "rtf_reader.h"

#include <QStringDecoder>
#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace tv::rtf::detail {

namespace {

enum class Dest : quint8 {
    Text,       // the document's text
    FontTable,  // font entries: number, charset, name
    ColorTable, // \red \green \blue ;
    Skip,       // read for its braces only
    Pn,         // an old-style paragraph numbering description
    ListMarker, // the drawn bullet or number of a list paragraph (\pntext, \listtext)
    Object,     // an embedded object: only its \result is text
};

struct State {
    CharState chr;
    ParaState para;
    Dest dest = Dest::Text;
    int uc = 1;
    bool hidden = false;
    QTextOption::TabType nextTab = QTextOption::LeftTab;
};

class Parser final {
public:
    explicit Parser(const QByteArray& data)
        : m_p(data.constData()), m_end(data.constData() + data.size()) {}

    Parsed run();

private:
    void openGroup();
    void closeGroup();
    void control();
    void word(std::string_view name, bool hasParam, int param);
    void symbol(char c);
    void plainText();
    void byte(uchar b);
    void chars(QStringView s);
    void flushBytes();
    void endParagraph();
    void commitFont();
    int codepage() const;
    QStringDecoder& decoder(int cp);

    const char* m_p;
    const char* m_end;
    std::vector<State> m_stack;
    State m_st;
    State m_final;
    Parsed m_out;
    Paragraph m_cur;
    bool m_endedWithPar = false;
    bool m_rootClosed = false;
    bool m_star = false;    // "\*" seen: the group's first word decides
    int m_skipFallback = 0; // characters of a \uN fallback still to pass over
    int m_docCodepage = 1252;
    ListKind m_pnKind = ListKind::None;
    bool m_markerHasDigit = false; // a list marker drawn as a number
    // A font entry being read.
    int m_fontNumber = -1;
    FontEntry m_font;
    QByteArray m_fontBytes;
    // Colour table entry being read.
    int m_red = -1, m_green = -1, m_blue = -1;
    // Bytes of \'hh (and raw 8-bit text) not yet decoded, with their look.
    QByteArray m_bytes;
    int m_bytesCp = 0;
    CharState m_bytesLook;
    std::unordered_map<int, QStringDecoder> m_decoders;
};

int Parser::codepage() const {
    if (const auto it =
            m_out.fonts.constFind(m_st.chr.font < 0 ? m_out.defaultFont : m_st.chr.font);
        it != m_out.fonts.cend() && it->codepage != 0)
        return it->codepage;
    return m_docCodepage;
}

QStringDecoder& Parser::decoder(int cp) {
    auto it = m_decoders.find(cp);
    if (it == m_decoders.end()) {
        QStringDecoder d(codepageName(cp).constData(), QStringDecoder::Flag::Stateless);
        if (!d.isValid()) d = QStringDecoder("windows-1252", QStringDecoder::Flag::Stateless);
        if (!d.isValid()) d = QStringDecoder(QStringDecoder::Latin1);
        it = m_decoders.emplace(cp, std::move(d)).first;
    }
    return it->second;
}

void Parser::flushBytes() {
    if (m_bytes.isEmpty()) return;
    const QString s = decoder(m_bytesCp).decode(m_bytes);
    m_bytes.clear();
    if (m_st.dest == Dest::FontTable) return; // font names keep their own bytes
    std::vector<Run>& runs = m_cur.runs;
    if (runs.empty() || !(runs.back().look == m_bytesLook)) runs.push_back({m_bytesLook, {}});
    runs.back().text += s;
    m_endedWithPar = false;
}

void Parser::chars(QStringView s) {
    switch (m_st.dest) {
    case Dest::Text: {
        if (m_st.hidden) return;
        flushBytes();
        std::vector<Run>& runs = m_cur.runs;
        if (runs.empty() || !(runs.back().look == m_st.chr)) runs.push_back({m_st.chr, {}});
        runs.back().text += s;
        m_endedWithPar = false;
        return;
    }
    case Dest::FontTable:
        for (const QChar c : s) {
            if (c == u';') {
                commitFont();
                continue;
            }
            if (!m_fontBytes.isEmpty()) {
                const int cp = m_font.codepage ? m_font.codepage : m_docCodepage;
                m_font.name += decoder(cp).decode(m_fontBytes);
                m_fontBytes.clear();
            }
            m_font.name += c;
        }
        return;
    case Dest::ColorTable:
        for (const QChar c : s)
            if (c == u';') {
                m_out.colors.append(
                    m_red < 0 && m_green < 0 && m_blue < 0
                        ? QColor()
                        : QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
                m_red = m_green = m_blue = -1;
            }
        return;
    case Dest::ListMarker:
        for (const QChar c : s)
            if (c.isDigit()) m_markerHasDigit = true;
        return;
    case Dest::Skip:
    case Dest::Pn:
    case Dest::Object:
        return;
    }
}

void Parser::byte(uchar b) {
    if (m_st.dest == Dest::FontTable) {
        m_fontBytes.append(static_cast<char>(b));
        return;
    }
    if (m_st.dest != Dest::Text || m_st.hidden) {
        if (m_st.dest == Dest::ListMarker) chars(QString(QChar(b)));
        return;
    }
    const int cp = codepage();
    if (!m_bytes.isEmpty() && (cp != m_bytesCp || !(m_bytesLook == m_st.chr))) flushBytes();
    m_bytes.append(static_cast<char>(b));
    m_bytesCp = cp;
    m_bytesLook = m_st.chr;
}

void Parser::commitFont() {
    if (m_fontNumber >= 0) {
        if (!m_fontBytes.isEmpty()) {
            const int cp = m_font.codepage ? m_font.codepage : m_docCodepage;
            m_font.name += decoder(cp).decode(m_fontBytes);
        }
        m_font.name = m_font.name.trimmed();
        if (!m_out.fonts.contains(m_fontNumber)) m_out.fonts.insert(m_fontNumber, m_font);
    }
    m_fontNumber = -1;
    m_font = FontEntry{};
    m_fontBytes.clear();
}

void Parser::endParagraph() {
    flushBytes();
    m_cur.format = m_st.para;
    if (m_cur.format.list != ListKind::None && m_markerHasDigit)
        m_cur.format.list = ListKind::Decimal;
    m_markerHasDigit = false;
    m_cur.mark = m_st.chr;
    m_out.paragraphs.push_back(std::move(m_cur));
    m_cur = Paragraph{};
    m_endedWithPar = true;
}

void Parser::openGroup() {
    flushBytes();
    m_skipFallback = 0;
    m_stack.push_back(m_st);
    m_star = false;
}

void Parser::closeGroup() {
    flushBytes();
    m_skipFallback = 0;
    m_star = false;
    if (m_stack.empty()) return;
    const Dest closing = m_st.dest;
    if (closing == Dest::FontTable) commitFont();
    // The last paragraph of a document without a closing \par takes the
    // formatting in force where the document ends.
    if (m_stack.size() == 1) m_final = m_st;
    m_st = std::move(m_stack.back());
    m_stack.pop_back();
    // A numbering description speaks for the paragraph around it.
    if (closing == Dest::Pn && m_st.dest != Dest::Pn && m_pnKind != ListKind::None) {
        m_st.para.list = m_pnKind;
        m_pnKind = ListKind::None;
    }
    if (m_stack.empty()) m_rootClosed = true;
}

void Parser::symbol(char c) {
    switch (c) {
    case '\\':
    case '{':
    case '}': {
        const QChar ch = QLatin1Char(c);
        chars(QStringView(&ch, 1));
        return;
    }
    case '~':
        chars(u"\u00A0");
        return;
    case '_':
        chars(u"\u2011");
        return;
    case '*':
        m_star = true;
        return;
    case '\r':
    case '\n': // an escaped line end is an old spelling of \par
        if (m_st.dest == Dest::Text) endParagraph();
        return;
    default: // \- (optional hyphen), \: (index), \| (formula) and the rest
        return;
    }
}

void Parser::word(std::string_view name, bool hasParam, int param) {
    const Keyword k = keyword(name);
    if (m_star) {
        m_star = false;
        // Only the starred destinations we understand are read.
        if (k.kw != Kw::Pn) {
            m_st.dest = Dest::Skip;
            return;
        }
    }
    if (m_st.dest == Dest::Skip && k.kw != Kw::Bin) return;
    const int on = hasParam ? param : 1;
    const bool flag = !hasParam || param != 0;
    State& s = m_st;
    switch (k.kw) {
    case Kw::Unknown:
        return;
    case Kw::FontTable:
        s.dest = Dest::FontTable;
        return;
    case Kw::ColorTable:
        s.dest = Dest::ColorTable;
        m_red = m_green = m_blue = -1;
        return;
    case Kw::SkipDest:
        s.dest = Dest::Skip;
        return;
    case Kw::Pn:
        s.dest = Dest::Pn;
        m_pnKind = ListKind::None;
        return;
    case Kw::ListMarker:
        s.dest = Dest::ListMarker;
        return;
    case Kw::Object:
        s.dest = Dest::Object;
        return;
    case Kw::Result:
        if (s.dest == Dest::Object) s.dest = Dest::Text;
        return;
    case Kw::Codepage:
        if (k.value > 0)
            m_docCodepage = k.value;
        else if (hasParam && param > 0)
            m_docCodepage = param;
        return;
    case Kw::Deff:
        m_out.defaultFont = std::max(on, 0);
        return;
    case Kw::Uc:
        s.uc = std::clamp(on, 0, 255);
        return;
    case Kw::U: {
        const int unit = param < 0 ? param + 65536 : param;
        if (!hasParam || unit > 0xFFFF || (unit < 0x20 && unit != '\t')) return;
        const QChar c(static_cast<char16_t>(unit));
        chars(QStringView(&c, 1));
        m_skipFallback = s.uc;
        return;
    }
    case Kw::Bin: // raw binary data follows: pass over it whatever it holds
        m_p += std::clamp<qsizetype>(on, 0, m_end - m_p);
        return;
    case Kw::Fcharset:
        if (s.dest == Dest::FontTable) m_font.codepage = charsetCodepage(on);
        return;
    case Kw::Cpg:
        if (s.dest == Dest::FontTable) m_font.codepage = on;
        return;
    case Kw::Par:
        if (s.dest == Dest::Text) endParagraph();
        return;
    case Kw::Char: {
        const QChar c(static_cast<char16_t>(k.value));
        chars(QStringView(&c, 1));
        return;
    }
    case Kw::Plain:
        s.chr = CharState{};
        s.hidden = false;
        return;
    case Kw::Font:
        if (s.dest == Dest::FontTable) {
            commitFont();
            m_fontNumber = std::max(on, 0);
        } else {
            s.chr.font = std::max(on, 0);
        }
        return;
    case Kw::FontSize:
        s.chr.halfPoints = hasParam && param > 0 ? std::min(param, 32767) : 24;
        return;
    case Kw::Bold:
        s.chr.bold = flag;
        return;
    case Kw::Italic:
        s.chr.italic = flag;
        return;
    case Kw::Underline:
        s.chr.underline = flag;
        return;
    case Kw::UnderlineNone:
        s.chr.underline = false;
        return;
    case Kw::Strike:
        s.chr.strike = flag;
        return;
    case Kw::Color:
        s.chr.color = std::max(on, 0);
        return;
    case Kw::Hidden:
        s.hidden = flag;
        return;
    case Kw::Pard:
        s.para = ParaState{};
        s.nextTab = QTextOption::LeftTab;
        return;
    case Kw::Align:
        s.para.align = k.value;
        return;
    case Kw::Li:
        s.para.leftTwips = param;
        return;
    case Kw::Ri:
        s.para.rightTwips = param;
        return;
    case Kw::Fi:
        s.para.firstTwips = param;
        return;
    case Kw::TabKind:
        s.nextTab = static_cast<QTextOption::TabType>(k.value);
        return;
    case Kw::Tx:
        if (s.para.tabs.size() < 64) s.para.tabs.append({std::max(param, 0), s.nextTab});
        s.nextTab = QTextOption::LeftTab;
        return;
    case Kw::Ls:
        if (s.dest == Dest::Text) s.para.list = ListKind::Bullet;
        return;
    case Kw::Red:
        m_red = std::clamp(param, 0, 255);
        return;
    case Kw::Green:
        m_green = std::clamp(param, 0, 255);
        return;
    case Kw::Blue:
        m_blue = std::clamp(param, 0, 255);
        return;
    case Kw::PnBullet:
        if (s.dest == Dest::Pn) m_pnKind = ListKind::Bullet;
        return;
    case Kw::PnBody:
        if (s.dest == Dest::Pn && m_pnKind == ListKind::None) m_pnKind = ListKind::Decimal;
        return;
    }
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void Parser::control() {
    if (m_p >= m_end) return; // a lone backslash at the very end
    const char c = *m_p;
    if (!isLetter(c)) {
        ++m_p;
        if (c == '\'') {
            // Two hex digits; a cut-short escape is dropped with its one digit.
            int value = -1;
            if (m_p < m_end && hexValue(*m_p) >= 0) {
                if (m_p + 1 < m_end && hexValue(m_p[1]) >= 0) {
                    value = hexValue(m_p[0]) * 16 + hexValue(m_p[1]);
                    m_p += 2;
                } else {
                    ++m_p;
                }
            }
            if (m_skipFallback > 0) {
                --m_skipFallback;
                return;
            }
            if (value >= 0x80)
                byte(static_cast<uchar>(value));
            else if (value >= 0) {
                const QChar ch(static_cast<char16_t>(value));
                if (value >= 0x20 || value == '\t') chars(QStringView(&ch, 1));
            }
            return;
        }
        if (m_skipFallback > 0) {
            --m_skipFallback;
            return;
        }
        symbol(c);
        return;
    }
    // A control word: up to 32 letters, an optional signed number, and one
    // optional blank that belongs to it. Longer words and numbers are cut.
    const char* start = m_p;
    while (m_p < m_end && isLetter(*m_p))
        ++m_p;
    const std::string_view name(start, static_cast<size_t>(std::min<qsizetype>(m_p - start, 32)));
    bool hasParam = false;
    bool negative = false;
    qint64 value = 0;
    if (m_p < m_end && *m_p == '-' && m_p + 1 < m_end && isDigit(m_p[1])) {
        negative = true;
        ++m_p;
    }
    while (m_p < m_end && isDigit(*m_p)) {
        hasParam = true;
        if (value < 100000000) value = value * 10 + (*m_p - '0');
        ++m_p;
    }
    if (m_p < m_end && *m_p == ' ') ++m_p;
    const int param =
        static_cast<int>(std::clamp<qint64>(negative ? -value : value, -2147483647, 2147483647));
    if (m_skipFallback > 0 && name != "bin") {
        --m_skipFallback;
        return;
    }
    flushBytes();
    word(name, hasParam, param);
}

void Parser::plainText() {
    // A stretch of ordinary characters, taken at once.
    const char* start = m_p;
    while (m_p < m_end) {
        const char c = *m_p;
        if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n' || c == '\0' ||
            static_cast<uchar>(c) >= 0x80)
            break;
        ++m_p;
    }
    if (m_st.dest == Dest::Skip || m_st.dest == Dest::Object || m_st.dest == Dest::Pn) return;
    const char* from = start;
    if (m_skipFallback > 0) {
        const qsizetype n = std::min<qsizetype>(m_skipFallback, m_p - from);
        from += n;
        m_skipFallback -= static_cast<int>(n);
    }
    if (from < m_p) chars(QString::fromLatin1(from, m_p - from));
}

Parsed Parser::run() {
    // Blanks and a UTF-8 byte order mark may come before "{\rtf".
    while (m_p < m_end && (*m_p == ' ' || *m_p == '\t' || *m_p == '\r' || *m_p == '\n'))
        ++m_p;
    if (m_end - m_p >= 3 && std::string_view(m_p, 3) == "\xEF\xBB\xBF") m_p += 3;
    if (m_end - m_p < 5 || std::string_view(m_p, 5) != "{\\rtf") {
        m_out.error = QStringLiteral("This is not a Rich Text Format document.");
        return std::move(m_out);
    }
    bool tooDeep = false;
    while (m_p < m_end && !m_rootClosed) {
        const char c = *m_p;
        if (c == '{') {
            ++m_p;
            if (static_cast<int>(m_stack.size()) >= kMaxDepth) {
                tooDeep = true;
                break;
            }
            openGroup();
        } else if (c == '}') {
            ++m_p;
            closeGroup();
        } else if (c == '\\') {
            ++m_p;
            control();
        } else if (c == '\r' || c == '\n' || c == '\0') {
            ++m_p;
        } else if (static_cast<uchar>(c) >= 0x80) {
            ++m_p;
            if (m_skipFallback > 0)
                --m_skipFallback;
            else
                byte(static_cast<uchar>(c));
        } else {
            plainText();
        }
    }
    flushBytes();
    if (tooDeep)
        m_out.warning = QStringLiteral("The document nests its groups more than %1 deep; only the "
                                       "part before that was read.")
                            .arg(kMaxDepth);
    else if (!m_rootClosed)
        m_out.warning = QStringLiteral("The document ends before it is closed (it may have been "
                                       "cut short); the part that was there was read.");
    // The last paragraph mark ends the text: what follows it is no paragraph.
    if (!(m_endedWithPar && m_cur.runs.empty()) || m_out.paragraphs.empty()) {
        const State& last = m_rootClosed ? m_final : m_st;
        m_cur.format = last.para;
        m_cur.mark = last.chr;
        m_out.paragraphs.push_back(std::move(m_cur));
    }
    return std::move(m_out);
}

} // namespace

Parsed parse(const QByteArray& data) {
    return Parser(data).run();
}

} // namespace tv::rtf::detail
