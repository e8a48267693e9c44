#include "cli/completion.h"

#include "cli/cli.h"
#include "core/protocol/maintenancecommands.h"
#include "core/settings/settingspage.h"

#include <QStringList>

namespace cli {

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
    const QList<CommandOptions> commands = commandOptions();
    QStringList commandNames, valueOptions;
    QString optionBranches;
    for (const CommandOptions &command : commands) {
        commandNames << command.command;
        optionBranches += branch(8, command.command, command.options);
        for (const QString &option : command.valueOptions) {
            if (!valueOptions.contains(option))
                valueOptions << option;
        }
    }

    // Every page and key any model offers; a model that lacks one refuses it with a message.
    QStringList pageNames;
    QString keyBranches, valueBranches;
    for (const auto &page : pages::pagesWith(pages::Features::Extended)) {
        pageNames << page->name();
        QStringList keys;
        for (const pages::KeyDescription &key : page->keys()) {
            if (key.kind == pages::KeyDescription::Kind::ReadOnly)
                continue;
            keys << key.key + QLatin1Char('=');
            if (key.kind == pages::KeyDescription::Kind::Choice)
                valueBranches += branch(12, page->name() + QLatin1Char('/') + key.key, key.choices);
        }
        keyBranches += branch(12, page->name(), keys);
    }

    int count = 0;
    const maintenance::Command *all = maintenance::commands(&count);
    QStringList actions;
    for (int i = 0; i < count; ++i)
        actions << QLatin1String(all[i].name);

    QString script = QStringLiteral(
        R"(# bash completion for label-printer-cli, written by the build from the command line's own
# tables: commands, options, pages, keys, values and maintenance actions.
_label_printer_cli()
{
    local line=${COMP_LINE:0:COMP_POINT}
    local cur=${line##*[[:space:]]}
    local -a before
    read -r -a before <<<"${line:0:${#line}-${#cur}}"
    local command="" value_next="" words="" i
    local -a args=()
    for ((i = 1; i < ${#before[@]}; i++)); do
        if [[ -n $value_next ]]; then
            value_next=""
            continue
        fi
        case ${before[i]} in
        @VALUE_OPTIONS@) value_next=1 ;;
        -*) ;;
        *) if [[ -z $command ]]; then command=${before[i]}; else args+=("${before[i]}"); fi ;;
        esac
    done
    COMPREPLY=()
    [[ -n $value_next ]] && return

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
    script.replace(QStringLiteral("@VALUE_OPTIONS@"), valueOptions.join(QStringLiteral(" | ")));
    script.replace(QStringLiteral("@OPTIONS@"), optionBranches);
    script.replace(QStringLiteral("@COMMANDS@"), commandNames.join(QLatin1Char(' ')));
    script.replace(QStringLiteral("@PAGES@"), pageNames.join(QLatin1Char(' ')));
    script.replace(QStringLiteral("@VALUES@"), valueBranches);
    script.replace(QStringLiteral("@KEYS@"), keyBranches);
    script.replace(QStringLiteral("@ACTIONS@"), actions.join(QLatin1Char(' ')));
    return script;
}

} // namespace cli
