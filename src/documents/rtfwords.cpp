#include "documents/rtfwords.h"

#include <unordered_map>

namespace documents::rtf {

Word lookupWord(std::string_view word) {
    // clang-format off
    static const std::unordered_map<std::string_view, Word> table = {
        {"rtf", W_rtf}, {"ansi", W_ansi}, {"ansicpg", W_ansicpg}, {"mac", W_mac}, {"pc", W_pc},
        {"pca", W_pca}, {"deff", W_deff}, {"fonttbl", W_fonttbl}, {"colortbl", W_colortbl},
        {"f", W_f}, {"fcharset", W_fcharset}, {"cpg", W_cpg}, {"red", W_red}, {"green", W_green},
        {"blue", W_blue}, {"fs", W_fs}, {"b", W_b}, {"i", W_i}, {"ul", W_ul}, {"uld", W_ul},
        {"uldb", W_ul}, {"ulw", W_ul}, {"uldash", W_ul}, {"ulth", W_ul}, {"ulwave", W_ul},
        {"ulnone", W_ulnone}, {"strike", W_strike}, {"striked", W_strike}, {"cf", W_cf},
        {"highlight", W_highlight}, {"cb", W_cb}, {"chcbpat", W_cb}, {"plain", W_plain},
        {"super", W_super}, {"sub", W_sub}, {"nosupersub", W_nosupersub}, {"pard", W_pard},
        {"par", W_par}, {"sect", W_par}, {"page", W_par}, {"line", W_line}, {"tab", W_tab},
        {"cell", W_cell}, {"nestcell", W_cell}, {"row", W_row}, {"nestrow", W_row}, {"ql", W_ql},
        {"qc", W_qc}, {"qr", W_qr}, {"qj", W_qj}, {"li", W_li}, {"lin", W_li}, {"ri", W_ri},
        {"rin", W_ri}, {"fi", W_fi}, {"sb", W_sb}, {"sa", W_sa}, {"u", W_u}, {"uc", W_uc},
        {"emdash", W_emdash}, {"endash", W_endash}, {"bullet", W_bullet}, {"lquote", W_lquote},
        {"rquote", W_rquote}, {"ldblquote", W_ldblquote}, {"rdblquote", W_rdblquote},
        {"emspace", W_emspace}, {"enspace", W_enspace}, {"pict", W_pict}, {"pngblip", W_pngblip},
        {"jpegblip", W_jpegblip}, {"picwgoal", W_picwgoal}, {"pichgoal", W_pichgoal},
        {"picscalex", W_picscalex}, {"picscaley", W_picscaley}, {"listtext", W_listtext},
        {"pntext", W_listtext}, {"pn", W_pn}, {"pnlvlblt", W_pnlvlblt}, {"pnlvlbody", W_pnlvlbody},
        {"pnlvl", W_pnlvl}, {"pndec", W_pndec}, {"pnlcltr", W_pnlcltr}, {"pnucltr", W_pnucltr},
        {"pnlcrm", W_pnlcrm}, {"pnucrm", W_pnucrm}, {"ls", W_ls}, {"ilvl", W_ilvl},
        {"listtable", W_listtable}, {"list", W_list}, {"listlevel", W_listlevel},
        {"levelnfc", W_levelnfc}, {"levelnfcn", W_levelnfc}, {"listid", W_listid},
        {"listoverridetable", W_listoverridetable}, {"listoverride", W_listoverride},
        // Groups whose content is the document's text.
        {"field", W_transparent}, {"fldrslt", W_transparent}, {"shppict", W_transparent},
        {"shp", W_transparent}, {"shprslt", W_transparent}, {"object", W_transparent},
        {"result", W_transparent},
        // Groups of text that is not the document's body.
        {"fldinst", W_skip}, {"nonshppict", W_skip}, {"stylesheet", W_skip}, {"info", W_skip},
        {"header", W_skip}, {"headerl", W_skip}, {"headerr", W_skip}, {"headerf", W_skip},
        {"footer", W_skip}, {"footerl", W_skip}, {"footerr", W_skip}, {"footerf", W_skip},
        {"footnote", W_skip}, {"annotation", W_skip}, {"objdata", W_skip}, {"objclass", W_skip},
        {"sp", W_skip}, {"sn", W_skip}, {"sv", W_skip}, {"shpinst", W_skip}, {"xe", W_skip},
        {"tc", W_skip}, {"txe", W_skip}, {"rxe", W_skip}, {"comment", W_skip}, {"private", W_skip},
        {"revtbl", W_skip}, {"rsidtbl", W_skip}, {"xmlnstbl", W_skip}, {"generator", W_skip},
        {"filetbl", W_skip}, {"template", W_skip}, {"docvar", W_skip}, {"pgdsctbl", W_skip},
        {"ftnsep", W_skip}, {"ftnsepc", W_skip}, {"ftncn", W_skip}, {"aftnsep", W_skip},
        {"aftnsepc", W_skip}, {"aftncn", W_skip}, {"macpict", W_skip}, {"wmetafile", W_skip},
        {"atnid", W_skip}, {"atnauthor", W_skip}, {"bkmkstart", W_skip}, {"bkmkend", W_skip},
        {"userprops", W_skip}, {"themedata", W_skip}, {"colorschememapping", W_skip},
        {"latentstyles", W_skip}, {"datastore", W_skip},
    };
    // clang-format on
    const auto found = table.find(word);
    return found == table.end() ? W_unknown : found->second;
}

} // namespace documents::rtf
