#!/usr/bin/env bash
# Makes the template Wine prefix that every end-to-end test copies (once; ~15 s).
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../../tools/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"
template="$(we_template_prefix)" || {
  echo "FAIL: could not make the template prefix"
  exit 1
}
for key in 'WenQuanYi Zen Hei' '"Managed"="N"' 'ShowCrashDialog'; do
  if ! grep -q -F "$key" "$template/system.reg" "$template/user.reg"; then
    echo "FAIL: template prefix lacks $key"
    exit 1
  fi
done
echo "template prefix: $template"
echo "1 passed, 0 failed"
