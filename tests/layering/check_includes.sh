#!/usr/bin/env bash
# Fails when an include goes against the layers:
#   platform/core      -> nothing of ours but itself, Qt Core only
#   platform/printing  -> platform/core
#   platform/widgets   -> platform/core
#   store              -> platform/core only
#   report_engine      -> platform/core and platform/printing; Qt Widgets only in
#                         its progress window
#   message boxes only in the dialog implementation; no test-support header in src/.
# Usage: check_includes.sh <source root> <Qt include root>
set -uo pipefail
src=$1/src
qt=$2
status=0

complain() { echo "layering: $*"; status=1; }

# Our own includes of the files under $1 that fall outside the allowed prefixes.
check_ours() {
    local dir=$1; shift
    local allowed=("$@")
    while IFS= read -r line; do
        local file=${line%%:*} target=${line#*\"}
        target=${target%%\"*}
        local ok=0
        for prefix in "${allowed[@]}"; do
            [[ $target == "$prefix"* ]] && ok=1
        done
        [ $ok -eq 1 ] || complain "${file#"$src"/} includes \"$target\""
    done < <(grep -rHn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src/$dir" --include='*.h' --include='*.cpp')
}

# Qt headers of a module used outside the files allowed to use it.
check_qt_module() {
    local dir=$1 module=$2 allowed=$3
    while IFS= read -r line; do
        local file=${line%%:*} header=${line#*<}
        header=${header%%>*}
        header=${header#"$module"/}
        [ -e "$qt/$module/$header" ] || continue
        [[ $(basename "$file") =~ $allowed ]] && continue
        complain "${file#"$src"/} includes <$header> of $module"
    done < <(grep -rHn '^[[:space:]]*#[[:space:]]*include[[:space:]]*<' "$src/$dir" --include='*.h' --include='*.cpp')
}

check_ours platform/core platform/core/
check_ours platform/printing platform/core/ platform/printing/
check_ours platform/widgets platform/core/ platform/widgets/
check_ours store platform/core/ store/
check_ours report_engine platform/core/ platform/printing/ report_engine/

for module in QtGui QtWidgets QtPrintSupport; do
    check_qt_module platform/core "$module" '^$'
    check_qt_module store "$module" '^$'
done
check_qt_module platform/core QtSql '^$'
check_qt_module platform/printing QtWidgets '^$'
check_qt_module report_engine QtWidgets '^tqr_progress_form\.(h|cpp)$'
check_qt_module report_engine QtSql '^$'

while IFS= read -r file; do
    [[ $(basename "$file") == message_box_dialogs.cpp ]] || complain "${file#"$src"/} uses QMessageBox outside the dialog implementation"
done < <(grep -rlE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(QtWidgets/)?QMessageBox>|QMessageBox::' "$src" --include='*.h' --include='*.cpp')

while IFS= read -r line; do
    complain "${line#"$src"/} is a test header in the product"
done < <(grep -rHnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](doubles/|gtest/|gmock/|QTest|QtTest/)' "$src" --include='*.h' --include='*.cpp')

[ $status -eq 0 ] && echo "layering: every include follows the layers"
exit $status
