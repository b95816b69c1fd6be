#!/bin/sh
# Runs as root inside the throwaway Debian that install_test.sh makes:
# installs, upgrades, removes, purges and reinstalls the package, and checks
# after each step the files, owners and modes, that the records survive, that
# a radiographer's program opens them and that an outsider can neither read them
# nor make the program create anything. One line per check; fails on any.
# Usage: in_chroot.sh <package.deb> <same package, higher version.deb>
set -u
deb=$1
newer=$2
db=/var/lib/ruvured/ruvured.mdb
log=/root/checks
mkdir -p $log
export DEBIAN_FRONTEND=noninteractive
failed=0

check() {
    what=$1
    shift
    if "$@" >$log/out 2>&1; then
        echo "ok   $what"
    else
        echo "FAIL $what"
        sed 's/^/     /' $log/out
        failed=$((failed + 1))
    fi
}

# is <path> <owner:group mode>
is() {
    [ "$(stat -c '%U:%G %a' "$1")" = "$2" ] || { echo "$1: $(stat -c '%U:%G %a' "$1"), wanted $2"; return 1; }
}

# The installed program, started offscreen by <user>, until the timeout ends it.
start_program() {
    runuser -u "$1" -- env QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='ruvured.store.info=true' \
        HOME="/home/$1" XDG_RUNTIME_DIR="/run/user/$1" timeout 8 ruvured >$log/program 2>&1
    [ $? -eq 124 ] || { echo "the program ended before the timeout"; cat $log/program; return 1; }
}

opens() {
    start_program radiographer && grep -q "opened $db" $log/program || { cat $log/program; return 1; }
}

# The program itself writes the file (its checks, the log); a package step never does.
remember_records() {
    records=$(cat $db $db-wal 2>/dev/null | sha256sum)
}

records_kept() {
    [ "$(cat $db $db-wal 2>/dev/null | sha256sum)" = "$records" ] || { echo "the database changed"; return 1; }
}

outsider_shut_out() {
    ! runuser -u outsider -- cat $db >/dev/null 2>&1 || { echo "the outsider read the database"; return 1; }
    ! runuser -u outsider -- ls /var/lib/ruvured /var/backups/ruvured >/dev/null 2>&1 || { echo "the outsider listed the records"; return 1; }
}

outsider_told_which_group() {
    touch $log/before
    sleep 1
    start_program outsider
    grep -q 'adduser outsider ruvured' $log/program || { cat $log/program; return 1; }
    # /dev/shm only holds what a running program shares while it runs.
    made=$(find / -xdev -newer $log/before ! -path "$log/*" ! -path "$log" ! -path /tmp ! -path /root ! -path /dev/shm)
    [ -z "$made" ] || { echo "created: $made"; return 1; }
}

files_in_place() {
    is /var/lib/ruvured "root:ruvured 2770" && is $db "root:ruvured 660" &&
        is /var/backups/ruvured "root:ruvured 2750" && is /etc/ruvured/ruvured.ini "root:root 644" &&
        [ -x /usr/bin/ruvured ] && [ -x /usr/bin/ruvured-createdb ] &&
        dpkg-query -W -f='${Conffiles}' ruvured | grep -q /etc/ruvured/ruvured.ini &&
        [ -f /usr/share/icons/hicolor/48x48/apps/ruvured.png ] &&
        [ -f /usr/share/icons/hicolor/scalable/apps/ruvured.svg ] &&
        [ -f /usr/share/applications/org.ruvured.Workstation.desktop ] &&
        [ "$(systemctl is-enabled ruvured-backup.timer)" = enabled ]
}

backs_up() {
    # Thirty-one older copies: after one more, the newest thirty are left.
    for day in 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31; do
        cp -p $db /var/backups/ruvured/ruvured-2020-01-$day-213000.mdb
    done
    (umask 000 && /usr/libexec/ruvured/ruvured-backup) >$log/backup 2>&1 || { cat $log/backup; return 1; }
    grep -q '已备份' $log/backup || { cat $log/backup; return 1; }
    copy=$(ls /var/backups/ruvured/ruvured-2*.mdb | tail -n 1)
    is "$copy" "root:ruvured 640" || return 1
    [ "$(ls /var/backups/ruvured | wc -l)" -eq 30 ] || { ls /var/backups/ruvured; return 1; }
    [ ! -e /var/backups/ruvured/ruvured-2020-01-02-213000.mdb ] && [ -e /var/backups/ruvured/ruvured-2020-01-03-213000.mdb ]
}

backup_failure_reported() {
    mv $db $db.away
    /usr/libexec/ruvured/ruvured-backup >$log/backup 2>&1
    status=$?
    mv $db.away $db
    [ $status -ne 0 ] && grep -q '备份失败' $log/backup || { cat $log/backup; return 1; }
}

install_package() {
    apt-get install -y -q --no-install-recommends "$1" >$log/apt 2>&1 || { cat $log/apt; return 1; }
}

apt_says_where_records_are() {
    apt-get "$1" -y -q ruvured >$log/apt 2>&1 && grep -q '/var/lib/ruvured/' $log/apt || { cat $log/apt; return 1; }
}

adduser --quiet --disabled-password --gecos '' radiographer >/dev/null
adduser --quiet --disabled-password --gecos '' outsider >/dev/null
mkdir -p -m 700 /run/user/radiographer /run/user/outsider
chown radiographer /run/user/radiographer
chown outsider /run/user/outsider

check "install" install_package "$deb"
check "install: a database that passes the full check" ruvured-createdb --check $db
adduser --quiet radiographer ruvured
check "install: files, owners, modes, conffile, menu entry, timer" files_in_place
check "install: the radiographer's program opens the records" opens
check "install: an outsider cannot read the records" outsider_shut_out
check "install: an outsider is told which group to join, nothing is created" outsider_told_which_group
check "backup units pass systemd-analyze verify" systemd-analyze verify --man=no \
    /usr/lib/systemd/system/ruvured-backup.service /usr/lib/systemd/system/ruvured-backup.timer
check "backup: a dated copy for owner and group, the newest 30 kept" backs_up
check "backup: a failure is reported and fails" backup_failure_reported

remember_records
check "upgrade" install_package "$newer"
check "upgrade: the records are untouched" records_kept
check "upgrade: files, owners, modes" files_in_place
check "upgrade: the radiographer's program opens the records" opens

remember_records
check "remove: says where the records are" apt_says_where_records_are remove
check "remove: the records and backups stay" records_kept
check "remove: backups stay" test "$(ls /var/backups/ruvured | wc -l)" -eq 30
check "remove: the program is gone" test ! -e /usr/bin/ruvured

remember_records
check "purge: says where the records are" apt_says_where_records_are purge
check "purge: the records stay" records_kept
check "purge: backups stay" test "$(ls /var/backups/ruvured | wc -l)" -eq 30
check "purge: the configuration is gone" test ! -e /etc/ruvured/ruvured.ini
check "purge: an outsider still cannot read the records" outsider_shut_out

remember_records
check "install after purge" install_package "$deb"
check "install after purge: the records are the same" records_kept
check "install after purge: the radiographer's program opens the records" opens

exit $((failed > 0))
