#pragma once
#include <string_view>

namespace documents::rtf {

// The control words the reader acts on; a word not among them is ignored (or, after \*, its
// group is skipped).
// clang-format off
enum Word {
    W_rtf, W_ansi, W_ansicpg, W_mac, W_pc, W_pca, W_deff, W_fonttbl, W_colortbl, W_f, W_fcharset,
    W_cpg, W_red, W_green, W_blue, W_fs, W_b, W_i, W_ul, W_ulnone, W_strike, W_cf, W_highlight,
    W_cb, W_plain, W_super, W_sub, W_nosupersub, W_pard, W_par, W_line, W_tab, W_cell, W_row, W_ql,
    W_qc, W_qr, W_qj, W_li, W_ri, W_fi, W_sb, W_sa, W_u, W_uc, W_emdash, W_endash, W_bullet,
    W_lquote, W_rquote, W_ldblquote, W_rdblquote, W_emspace, W_enspace, W_pict, W_pngblip,
    W_jpegblip, W_picwgoal, W_pichgoal, W_picscalex, W_picscaley, W_listtext, W_pn, W_pnlvlblt,
    W_pnlvlbody, W_pnlvl, W_pndec, W_pnlcltr, W_pnucltr, W_pnlcrm, W_pnucrm, W_ls, W_ilvl,
    W_listtable, W_list, W_listlevel, W_levelnfc, W_listid, W_listoverridetable, W_listoverride,
    W_transparent, W_skip, W_unknown,
};
// clang-format on

// The word's meaning, or W_unknown.
Word lookupWord(std::string_view word);

} // namespace documents::rtf
