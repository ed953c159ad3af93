#pragma once
// The compiler's message texts. Each is handed to TCodeReader::SyntaxError, some after
// filling "%s" with a name (Fmt).
#include <QtCore/QString>
#include <QtCore/QStringView>

namespace orvcodec {

inline constexpr QLatin1String eofincom_err{"Unexpected EOF in comment block"};
inline constexpr QLatin1String delimeter_expected{"Operator delimeter expected"};
inline constexpr QLatin1String eofinstring_err{"Unexpected EOF in string constant declaration"};
inline constexpr QLatin1String need_opbr{"( expected"};
inline constexpr QLatin1String need_clbr{") expected"};
inline constexpr QLatin1String need_opsqbr{"[ expected"};
inline constexpr QLatin1String need_clsqbr{"] expected"};
inline constexpr QLatin1String comma_expected{"Comma expected"};
inline constexpr QLatin1String begin_expected{"BEGIN expected"};
inline constexpr QLatin1String unkn_id{"Unknown identifier: %s"};
inline constexpr QLatin1String do_exp{"DO expected"};
inline constexpr QLatin1String down_to_exp{"TO or DOWNTO expected"};
inline constexpr QLatin1String until_exp{"UNTIL Expected"};
inline constexpr QLatin1String linker_error{"Link Error"};
inline constexpr QLatin1String labname_exp{"Label name expected"};
inline constexpr QLatin1String label_already{"Label <%s> already defined"};
inline constexpr QLatin1String delim_or_coma{"Comma or delimeter expected"};
inline constexpr QLatin1String err_declpart{"Error in declaration block"};
inline constexpr QLatin1String lab_notdef{"Label <%s> not defined"};
inline constexpr QLatin1String progname_exp{"Program name expected"};
inline constexpr QLatin1String varname_exp{"Variable name expected"};
inline constexpr QLatin1String item_already{"Item <%s> already defined"};
inline constexpr QLatin1String bad_itemblock{"Error in item declaration block"};
inline constexpr QLatin1String var_notdef{"Variable <%s> not defined"};
inline constexpr QLatin1String var_notsimple{
    "For loop control variable <%s> must be simple local variable"};
inline constexpr QLatin1String else_exp{"ELSE expected"};
inline constexpr QLatin1String then_exp{"THEN expected"};
inline constexpr QLatin1String id_expected{"Identifier expected"};
inline constexpr QLatin1String bad_methparam{"Method parameters declaration error"};
inline constexpr QLatin1String need_par{"Parent name expected"};
inline constexpr QLatin1String only_class{"Only class declarations allowed"};
inline constexpr QLatin1String err_decl{"%s declaration  error"};
inline constexpr QLatin1String p2_exp{"Colon expected"};
inline constexpr QLatin1String synt_err{"Syntax error in  (%s): %s."};
inline constexpr QLatin1String bad_idname{"Bad identifier name <%s>"};
inline constexpr QLatin1String bad_id{"Bad identifier <%s>"};
inline constexpr QLatin1String bad_hex{"Hex constant declaration error"};
inline constexpr QLatin1String bad_realconst{"Real constant declaration error"};
inline constexpr QLatin1String bad_charconst{"String constant declaration error"};
inline constexpr QLatin1String eq_exp{"= expected"};
inline constexpr QLatin1String end_expected{"END expected"};
inline constexpr QLatin1String bad_entry{"Bad entry <%s> definition"};
inline constexpr QLatin1String class_notfound{"Class Not Found"};
inline constexpr QLatin1String prop_noread{"Field or Function not found for property (%s)"};
inline constexpr QLatin1String prop_nowrite{"Field or Procedure not found for property (%s)"};
inline constexpr QLatin1String prop_noproc{"Procedure not found for property (%s)"};
inline constexpr QLatin1String unit_required{"UNIT keyword required"};
inline constexpr QLatin1String program_required{"PROGRAM keyword required"};
inline constexpr QLatin1String name_notfound{"%s\n not found"};
inline constexpr QLatin1String not_before_dot{"%s before . must be const, function or array"};
inline constexpr QLatin1String not_value{"%s must be const, function or array"};
inline constexpr QLatin1String assign_exp{":= expected"};
inline constexpr QLatin1String not_assignable{"%s must be value or array"};
inline constexpr QLatin1String not_callable{"%s must be procedure or function"};
inline constexpr QLatin1String too_deep{"Nesting deeper than %s levels"};
inline constexpr QStringView types_only{u"Типы определяются только в модулях и программах"};
inline constexpr QStringView method_already{u"Такой метод уже определен (%s)"};
inline constexpr QStringView prop_already{u"Такое свойство уже определено (%s)"};

// The text with its "%s" markers filled in order; the arguments are inserted verbatim.
QString Fmt(QLatin1String text, const QString& a);
QString Fmt(QLatin1String text, const QString& a, const QString& b);
QString Fmt(QStringView text, const QString& a);

}  // namespace orvcodec
