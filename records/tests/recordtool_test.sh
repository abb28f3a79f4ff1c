#!/usr/bin/env bash
# Command-line checks of recordtool: what a user typing templates by hand sees.
set -u
tool=${RECORDTOOL:?}
fail=0
check() {  # name expected actual
  if [ "$2" != "$3" ]; then
    echo "FAIL $1"; printf 'expected: [%s]\nactual:   [%s]\n' "$2" "$3"; fail=1
  fi
}
check write-f "$(printf '%11s.5000%11s.0000' '' '')" "$("$tool" write '(2F16.4)' r:0.5 r:-0.00003)"
check write-reuse "$(printf '%10s1%10s2\n%10s3' '' '' '')" "$("$tool" write '(2I11)' i:1 i:2 i:3)"
check write-text "[ Title   ]" "[$("$tool" write '(1X,A8)' 'a:Title   ')]"
check read-values "$(printf '12\n0.01\n[ab  ]')" "$(printf '        12       100ab' | "$tool" read '(I10,D10.4,A4)' i r a4)"
check read-exp "1e-10" "$(echo '   1.0D-10' | "$tool" read '(D10.3)' r)"
out=$(echo '  1.2.3' | "$tool" read '(D10.3)' r 2>&1); status=$?
check read-error-status 2 "$status"
case "$out" in *"record 1"*"'  1.2.3   '"*) ;; *) echo "FAIL read-error-text: $out"; fail=1;; esac
"$tool" write '(I3' i:1 >/dev/null 2>&1; check bad-template-status 64 "$?"
"$tool" write '(I3)' r:x >/dev/null 2>&1; check bad-item-status 64 "$?"
# Templates that once crashed or hung: refused at once (a hang ends at the
# timeout with status 124, a crash with 128 and more).
deep=$(printf '%*s' 30000 '' | tr ' ' '(')X$(printf '%*s' 30000 '' | tr ' ' ')')
timeout 20 "$tool" write "$deep" >/dev/null 2>&1; check deep-nesting-status 64 "$?"
timeout 20 "$tool" write '(100000(100000(100000X)))' >/dev/null 2>&1; check huge-work-status 64 "$?"
timeout 20 "$tool" write '(0(I5))' i:1 >/dev/null 2>&1; check zero-repeat-status 64 "$?"
echo '    1' | timeout 20 "$tool" read '(0(I5))' i i >/dev/null 2>&1; check zero-repeat-read-status 2 "$?"
if [ $fail -eq 0 ]; then echo "recordtool checks passed"; fi
exit $fail
