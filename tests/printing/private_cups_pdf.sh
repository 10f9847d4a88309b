#!/usr/bin/env bash
# Gives a test's private cupsd a cups-pdf of its own: the backend reads its
# configuration from /etc/cups/cups-pdf.conf and writes under the job
# owner's home, /var/spool/cups-pdf and /var/log/cups. Under DIR this makes
#
#   DIR/serverbin  a ServerBin for cupsd: CUPS's own filters and backends,
#                  with cups-pdf run in a mount namespace of its own where
#                  /etc/cups is DIR/etc
#   DIR/etc/cups-pdf.conf  writing into DIR/pdf, spooling and logging in DIR
#
#   private_cups_pdf.sh DIR
set -euo pipefail
dir=${1:?usage: $0 DIR}
cups=/usr/lib/cups
mkdir -p "$dir/serverbin/backend" "$dir/etc" "$dir/pdf" "$dir/cups-pdf/spool" "$dir/cups-pdf/log" \
    "$dir/cups-pdf/anonymous" "$dir/cups-pdf/tmp"
# cupsd runs filters and backends only from folders no one else may write.
chmod 755 "$dir" "$dir/serverbin" "$dir/serverbin/backend" "$dir/etc" "$dir/pdf" "$dir/cups-pdf"
chmod 1777 "$dir/cups-pdf/tmp" "$dir/cups-pdf/anonymous"
for sub in "$cups"/*; do
    [ "${sub##*/}" = backend ] || ln -s "$sub" "$dir/serverbin/${sub##*/}"
done
for backend in "$cups"/backend/*; do
    [ "${backend##*/}" = cups-pdf ] || ln -s "$backend" "$dir/serverbin/backend/${backend##*/}"
done
cat >"$dir/etc/cups-pdf.conf" <<CONF
Out $dir/pdf
AnonDirName $dir/cups-pdf/anonymous
Spool $dir/cups-pdf/spool
Log $dir/cups-pdf/log
GSTmp $dir/cups-pdf/tmp
Grp root
CONF
# cupsd runs a backend as root only when no one else may run it (0700); the
# argument list, the device URI in argv[0] included, is passed on as it is.
cat >"$dir/serverbin/backend/cups-pdf" <<SCRIPT
#!/bin/bash
exec unshare --mount --propagation private bash -c \\
    'mount --bind "\$0" /etc/cups || exit 1; uri=\$1; shift; exec -a "\$uri" $cups/backend/cups-pdf "\$@"' \\
    "$dir/etc" "\$0" "\$@"
SCRIPT
chmod 700 "$dir/serverbin/backend/cups-pdf"
