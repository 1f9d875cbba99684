# Locales and fonts: the system locales the tests run the program under, and Wine's own
# fonts in a prefix. Sourced by ./run.

# zh_CN gives the code page 936, en_US 1252, zh_TW 950, ja_JP 932 and ko_KR 949; a fresh
# machine has none of them generated.
ensure_locales() {
  local have missing=() l
  have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z')
  for l in zh_CN en_US zh_TW ja_JP ko_KR; do
    grep -q "^$(tr 'A-Z' 'a-z' <<<"$l").utf8$" <<<"$have" || missing+=("$l")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  log "generating locales ${missing[*]/%/.UTF-8}"
  for l in "${missing[@]}"; do
    sed -i -E "s/^# *($l.UTF-8 UTF-8)/\\1/" /etc/locale.gen
    grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" >>/etc/locale.gen
  done
  locale-gen >/dev/null
}

# Wine's own fonts (Marlett draws the caption buttons, Tahoma the captions) come with the
# fonts-wine package, where this Wine does not look for them: they go into the prefix's
# font folder, as on Windows.
ensure_wine_fonts() { # prefix
  local fonts=$1/drive_c/windows/Fonts
  [ -f "$fonts/marlett.ttf" ] && return
  mkdir -p "$fonts"
  cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
}
