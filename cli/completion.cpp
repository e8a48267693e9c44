#include "cli/completion.h"

#include "cli/cli.h"
#include "cli/completiontables.h"
#include "core/protocol/maintenancecommands.h"
#include "core/settings/settingspage.h"

#include <QStringList>

namespace cli {

namespace completion {

Tables Tables::build()
{
    Tables tables;
    for (const CommandOptions &command : commandOptions()) {
        tables.commands << Command{command.command, command.options, command.valueOptions};
        for (const QString &option : command.valueOptions) {
            if (!tables.valueOptions.contains(option))
                tables.valueOptions << option;
        }
    }
    // Every page and key any model offers; a model that lacks one refuses it with a message.
    for (const auto &page : pages::pagesWith(pages::Features::Extended)) {
        tables.pages << page->name();
        QStringList keys;
        for (const pages::KeyDescription &key : page->keys()) {
            if (key.kind == pages::KeyDescription::Kind::ReadOnly)
                continue;
            keys << key.key;
            if (key.kind == pages::KeyDescription::Kind::Choice)
                tables.choices << qMakePair(page->name() + QLatin1Char('/') + key.key, key.choices);
        }
        tables.keys << qMakePair(page->name(), keys);
    }
    int count = 0;
    const maintenance::Command *all = maintenance::commands(&count);
    for (int i = 0; i < count; ++i)
        tables.actions << QLatin1String(all[i].name);
    return tables;
}

QString fillIn(QString script, const Tables &tables, const Branches &branches,
               const QString &valueSeparator)
{
    QStringList commandNames;
    for (const Tables::Command &command : tables.commands)
        commandNames << command.name;
    script.replace(QStringLiteral("@VALUE_OPTIONS@"), tables.valueOptions.join(valueSeparator));
    script.replace(QStringLiteral("@PRINTERS@"), branches.printers);
    script.replace(QStringLiteral("@OPTIONS@"), branches.options);
    script.replace(QStringLiteral("@COMMANDS@"), commandNames.join(QLatin1Char(' ')));
    script.replace(QStringLiteral("@PAGES@"), tables.pages.join(QLatin1Char(' ')));
    script.replace(QStringLiteral("@VALUES@"), branches.values);
    script.replace(QStringLiteral("@KEYS@"), branches.keys);
    script.replace(QStringLiteral("@ACTIONS@"), tables.actions.join(QLatin1Char(' ')));
    return script;
}

} // namespace completion

namespace {

// One branch of a case statement, `pattern) words="..." ;;`, indented by `indent` blanks.
QString branch(int indent, const QString &pattern, const QStringList &words)
{
    return QString(indent, QLatin1Char(' ')) +
           QStringLiteral("%1) words=\"%2\" ;;\n").arg(pattern, words.join(QLatin1Char(' ')));
}

} // namespace

QString bashCompletion()
{
    const completion::Tables tables = completion::Tables::build();
    QString optionBranches, keyBranches, valueBranches, printerBranches;
    for (const completion::Tables::Command &command : tables.commands)
        optionBranches += branch(8, command.name, command.options);
    for (const auto &[page, keys] : tables.keys) {
        QStringList assignments;
        for (const QString &key : keys)
            assignments << key + QLatin1Char('=');
        keyBranches += branch(12, page, assignments);
    }
    for (const auto &[pageKey, choices] : tables.choices)
        valueBranches += branch(12, pageKey, choices);
    for (const auto &[option, column] : completion::kPrinterValueOptions)
        printerBranches += QStringLiteral("        %1) words=$(_label_printer_cli_printers "
                                          "\"${before[0]}\" %2) ;;\n")
                               .arg(option)
                               .arg(column);

    QString script = QStringLiteral(
        R"(# bash completion for label-printer-cli, written by the build from the command line's own
# tables: commands, options, pages, keys, values and maintenance actions; after --port and
# --serial the attached printers' USB paths and serial numbers, as `list` shows them.
_label_printer_cli_printers()
{
    "$1" list 2>/dev/null | awk -F'\t' -v f="$2" '$f != "" && $f !~ /^\(/ { print $f }'
}

_label_printer_cli()
{
    local line=${COMP_LINE:0:COMP_POINT}
    local cur=${line##*[[:space:]]}
    local -a before
    read -r -a before <<<"${line:0:${#line}-${#cur}}"
    local command="" value_of="" words="" i
    local -a args=()
    for ((i = 1; i < ${#before[@]}; i++)); do
        if [[ -n $value_of ]]; then
            value_of=""
            continue
        fi
        case ${before[i]} in
        @VALUE_OPTIONS@) value_of=${before[i]} ;;
        -*) ;;
        *) if [[ -z $command ]]; then command=${before[i]}; else args+=("${before[i]}"); fi ;;
        esac
    done
    COMPREPLY=()
    if [[ -n $value_of ]]; then
        case $value_of in
@PRINTERS@        esac
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
        return
    fi

    if [[ $cur == -* ]]; then
        case $command in
@OPTIONS@        *) words="--help --version" ;;
        esac
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
        return
    fi

    case $command in
    "")
        COMPREPLY=($(compgen -W "@COMMANDS@" -- "$cur")) ;;
    read)
        [[ ${#args[@]} -eq 0 ]] && COMPREPLY=($(compgen -W "@PAGES@" -- "$cur")) ;;
    write)
        if [[ ${#args[@]} -eq 0 ]]; then
            COMPREPLY=($(compgen -W "@PAGES@" -- "$cur"))
        elif [[ $cur == *=* ]]; then
            local key=${cur%%=*}
            case ${args[0]}/$key in
@VALUES@            esac
            COMPREPLY=($(compgen -W "$words" -- "${cur#*=}"))
            # Unless bash breaks words at "=", the key stays part of what is completed.
            [[ $COMP_WORDBREAKS == *=* ]] || COMPREPLY=("${COMPREPLY[@]/#/$key=}")
        else
            case ${args[0]} in
@KEYS@            esac
            COMPREPLY=($(compgen -W "$words" -- "$cur"))
            compopt -o nospace 2>/dev/null
        fi ;;
    maintain)
        [[ ${#args[@]} -eq 0 ]] && COMPREPLY=($(compgen -W "@ACTIONS@" -- "$cur")) ;;
    download)
        if [[ ${#args[@]} -eq 0 ]]; then
            COMPREPLY=($(compgen -W "firmware font" -- "$cur"))
        elif [[ ${#args[@]} -eq 1 ]]; then
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
        fi ;;
    backup | restore | provision | diff)
        if [[ ${#args[@]} -eq 0 || ($command == diff && ${#args[@]} -eq 1) ]]; then
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
        fi ;;
    esac
}
complete -F _label_printer_cli label-printer-cli
)");
    return completion::fillIn(script, tables,
                              {printerBranches, optionBranches, valueBranches, keyBranches},
                              QStringLiteral(" | "));
}

} // namespace cli
