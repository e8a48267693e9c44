// The zsh and fish completions of label-printer-cli, from the same tables as bash's.
#include "cli/completion.h"
#include "cli/completiontables.h"

namespace cli {

namespace {

using completion::Tables;

// One zsh case branch, `(pattern) offered=(words) ;;`, indented by `indent` blanks.
QString zshBranch(int indent, const QString &pattern, const QStringList &words)
{
    return QString(indent, QLatin1Char(' ')) +
           QStringLiteral("(%1) offered=(%2) ;;\n").arg(pattern, words.join(QLatin1Char(' ')));
}

// A fish condition and what it offers, a `complete` line.
QString fishLine(const QString &condition, const QString &rest)
{
    return QStringLiteral("complete -c label-printer-cli -n '%1' %2\n").arg(condition, rest);
}

} // namespace

QString zshCompletion()
{
    const Tables tables = Tables::build();
    QString optionBranches, keyBranches, valueBranches, printerBranches;
    for (const Tables::Command &command : tables.commands)
        optionBranches += zshBranch(8, command.name, command.options);
    for (const auto &[page, keys] : tables.keys) {
        QStringList assignments;
        for (const QString &key : keys)
            assignments << key + QLatin1Char('=');
        keyBranches += zshBranch(16, page, assignments);
    }
    for (const auto &[pageKey, choices] : tables.choices)
        valueBranches += zshBranch(16, pageKey, choices);
    for (const auto &[option, column] : completion::kPrinterValueOptions)
        printerBranches +=
            QStringLiteral(
                "        (%1) offered=(${(f)\"$(_label_printer_cli_printers %2)\"}) ;;\n")
                .arg(option)
                .arg(column);

    QString script = QStringLiteral(R"(#compdef label-printer-cli
# zsh completion for label-printer-cli, written by the build from the command line's own tables:
# commands, options, pages, keys, values and maintenance actions; after --port and --serial the
# attached printers' USB paths and serial numbers, as `list` shows them.

# The USB paths (column 5) or serial numbers (column 6) of the printers `list` shows.
_label_printer_cli_printers() {
    ${words[1]} list 2>/dev/null | awk -F'\t' -v f="$1" '$f != "" && $f !~ /^\(/ { print $f }'
}

_label-printer-cli() {
    local command="" value_of="" cur=${words[CURRENT]} i
    local -a args offered
    for ((i = 2; i < CURRENT; i++)); do
        if [[ -n $value_of ]]; then
            value_of=""
            continue
        fi
        case ${words[i]} in
        (@VALUE_OPTIONS@) value_of=${words[i]} ;;
        (-*) ;;
        (*) if [[ -z $command ]]; then command=${words[i]}; else args+=(${words[i]}); fi ;;
        esac
    done

    if [[ -n $value_of ]]; then
        case $value_of in
@PRINTERS@        esac
        compadd -a offered
        return
    fi
    if [[ $cur == -* ]]; then
        case $command in
@OPTIONS@        (*) offered=(--help --version) ;;
        esac
        compadd -a offered
        return
    fi

    case $command in
    ("") offered=(@COMMANDS@) ;;
    (read) (( ${#args} == 0 )) && offered=(@PAGES@) ;;
    (write)
        if (( ${#args} == 0 )); then
            offered=(@PAGES@)
        elif [[ $cur == *=* ]]; then
            case ${args[1]}/${cur%%=*} in
@VALUES@            esac
            compset -P '*='
        else
            case ${args[1]} in
@KEYS@            esac
            compadd -S '' -a offered
            return
        fi ;;
    (maintain) (( ${#args} == 0 )) && offered=(@ACTIONS@) ;;
    (download)
        if (( ${#args} == 0 )); then
            offered=(firmware font)
        elif (( ${#args} == 1 )); then
            _files
            return
        fi ;;
    (backup|restore|provision|diff)
        if (( ${#args} == 0 )) || [[ $command == diff && ${#args} -eq 1 ]]; then
            _files
            return
        fi ;;
    esac
    compadd -a offered
}

_label-printer-cli "$@"
)");
    return fillIn(script, tables, {printerBranches, optionBranches, valueBranches, keyBranches},
                  QStringLiteral("|"));
}

QString fishCompletion()
{
    const Tables tables = Tables::build();
    QString script = QStringLiteral(
        R"(# fish completion for label-printer-cli, written by the build from the command line's own
# tables: commands, options, pages, keys, values and maintenance actions; after --port and
# --serial the attached printers' USB paths and serial numbers, as `list` shows them.

# The USB paths (column 5) or serial numbers (column 6) of the printers `list` shows.
function __label_printer_cli_printers
    set -l program (commandline -opc)[1]
    $program list 2>/dev/null | awk -F'\t' -v f=$argv[1] '$f != "" && $f !~ /^\(/ { print $f }'
end

# The command and its arguments typed so far, without options and their values.
function __label_printer_cli_words
    set -l value_next 0
    for word in (commandline -opc)[2..-1]
        if test $value_next = 1
            set value_next 0
            continue
        end
        switch $word
            case @VALUE_OPTIONS@
                set value_next 1
            case '-*'
            case '*'
                echo $word
        end
    end
end

# Whether the command is one of $argv[2..] (or, with "none", not given yet) and $argv[1] of its
# arguments are typed.
function __label_printer_cli_at
    set -l typed (__label_printer_cli_words)
    if test (count $argv) -eq 2 -a "$argv[2]" = none
        test (count $typed) -eq 0
        return
    end
    test (count $typed) -eq (math $argv[1] + 1); and contains -- $typed[1] $argv[2..-1]
end

# Whether the command takes an option: one of $argv, or none given yet.
function __label_printer_cli_takes
    set -l typed (__label_printer_cli_words)
    test (count $typed) -eq 0; or contains -- $typed[1] $argv
end

# Whether a write's page is $argv[1] and a key is being typed, or with $argv[2] that key's value.
function __label_printer_cli_writing
    set -l typed (__label_printer_cli_words)
    test (count $typed) -ge 2; and test $typed[1] = write; and test $typed[2] = $argv[1]; or return
    set -l token (commandline -ct)
    if test (count $argv) -eq 1
        not string match -q -- '*=*' $token
    else
        string match -q -- "$argv[2]=*" $token
    end
end

complete -c label-printer-cli -f
complete -c label-printer-cli -l help
complete -c label-printer-cli -n '__label_printer_cli_at 0 none' -l version
)");
    QStringList commandNames;
    QStringList valueOptions;
    for (const QString &option : tables.valueOptions)
        valueOptions << option;
    script.replace(QStringLiteral("@VALUE_OPTIONS@"), valueOptions.join(QLatin1Char(' ')));
    for (const Tables::Command &command : tables.commands)
        commandNames << command.name;
    script += fishLine(QStringLiteral("__label_printer_cli_at 0 none"),
                       QStringLiteral("-a '%1'").arg(commandNames.join(QLatin1Char(' '))));

    // Each option once, offered where a command that takes it is typed (or none yet).
    QStringList options;
    for (const Tables::Command &command : tables.commands) {
        for (const QString &option : command.options) {
            if (!options.contains(option) && option != QLatin1String("--help"))
                options << option;
        }
    }
    for (const QString &option : options) {
        QStringList takers;
        for (const Tables::Command &command : tables.commands) {
            if (command.options.contains(option))
                takers << command.name;
        }
        QString rest = QStringLiteral("-l ") + option.mid(2);
        if (tables.valueOptions.contains(option))
            rest += QStringLiteral(" -x");
        for (const auto &[printerOption, column] : completion::kPrinterValueOptions) {
            if (printerOption == option)
                rest += QStringLiteral(" -a '(__label_printer_cli_printers %1)'").arg(column);
        }
        script += fishLine(
            QStringLiteral("__label_printer_cli_takes ") + takers.join(QLatin1Char(' ')), rest);
    }

    const QString pages = tables.pages.join(QLatin1Char(' '));
    script += fishLine(QStringLiteral("__label_printer_cli_at 0 read write"),
                       QStringLiteral("-a '%1'").arg(pages));
    // Keys end with "=", after which fish adds no blank; then a choice key's values, whole.
    for (const auto &[page, keys] : tables.keys) {
        QStringList offered;
        for (const QString &key : keys)
            offered << key + QLatin1Char('=');
        script += fishLine(QStringLiteral("__label_printer_cli_writing ") + page,
                           QStringLiteral("-a '%1'").arg(offered.join(QLatin1Char(' '))));
    }
    for (const auto &[pageKey, choices] : tables.choices) {
        const QString page = pageKey.section(QLatin1Char('/'), 0, 0);
        const QString key = pageKey.section(QLatin1Char('/'), 1);
        QStringList offered;
        for (const QString &choice : choices)
            offered << key + QLatin1Char('=') + choice;
        script += fishLine(QStringLiteral("__label_printer_cli_writing %1 %2").arg(page, key),
                           QStringLiteral("-a '%1'").arg(offered.join(QLatin1Char(' '))));
    }
    script += fishLine(QStringLiteral("__label_printer_cli_at 0 maintain"),
                       QStringLiteral("-a '%1'").arg(tables.actions.join(QLatin1Char(' '))));
    script += fishLine(QStringLiteral("__label_printer_cli_at 0 download"),
                       QStringLiteral("-a 'firmware font'"));
    script += fishLine(QStringLiteral("__label_printer_cli_at 1 download"), QStringLiteral("-F"));
    script += fishLine(QStringLiteral("__label_printer_cli_at 0 backup restore provision diff"),
                       QStringLiteral("-F"));
    script += fishLine(QStringLiteral("__label_printer_cli_at 1 diff"), QStringLiteral("-F"));
    return script;
}

} // namespace cli
