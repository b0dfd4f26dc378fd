# Input filter of the API documentation (docs/Doxyfile). The headers keep
# plain // comments in the style of the code base; this turns them into
# Doxygen comments for the run, keeping every line where it is so that
# warnings point at the real line:
#   a line that is only a comment      ->  ///  (documents what follows)
#   a comment after a declaration      ->  ///< (documents that member)
#   a comment over several declarations of one kind, with no blank line
#   between them (overloads, a family of operations, operators, data)
#                                      ->  a member group, whose comment
#                                          documents each of them
#   the include guard's #endif         ->  also marks the file as documented,
#                                          so that its free functions are shown
function kind(s) {
  if (s ~ /^[[:space:]]*\/\//) return "comment"
  if (s ~ /^[[:space:]]*$/) return "blank"
  return "code"
}
# Lines that end a run of declarations: access labels, the end or start of a
# body, preprocessor lines.
function boundary(s) {
  return s ~ /^[[:space:]]*(public|private|protected):/ || s ~ /^[[:space:]]*}/ ||
         s ~ /\{[[:space:]]*(\/\/.*)?$/ || s ~ /^[[:space:]]*#/
}
# The kind of a declaration: a comment over several declarations speaks of
# all of them when they are of one kind (overloads, a family of operations,
# operators, data members), but not of a one-line inline accessor that merely
# follows an operation without a comment of its own.
function declared(s) {
  if (s ~ /operator/) return "operator"
  if (s !~ /\(/) return "data"
  if (s ~ /\{/) return "inline"
  return "function"
}
{ line[NR] = $0 }
END {
  n = NR
  i = 1
  while (i <= n) {
    if (kind(line[i]) != "comment") { i++; continue }
    j = i
    while (j <= n && kind(line[j]) == "comment") j++
    k = j
    declarations = 0
    same = 1
    first = ""
    start = 1
    while (k <= n && kind(line[k]) == "code" && !boundary(line[k])) {
      if (start) {
        key = declared(line[k])
        if (first == "") first = key
        else if (key != first) same = 0
        start = 0
      }
      if (line[k] ~ /[;}][[:space:]]*(\/\/.*)?$/) {
        declarations++
        start = 1
      }
      k++
    }
    if (declarations >= 2 && same) {
      groupStart[i] = 1
      groupEnd[k - 1] = 1
    }
    i = j
  }
  for (i = 1; i <= n; i++) {
    s = line[i]
    if (kind(s) == "comment") {
      sub(/\/\//, "///", s)
    } else {
      if (s !~ /^[[:space:]]*[#}]/ && match(s, /[^[:space:]][[:space:]]+\/\/ /))
        s = substr(s, 1, RSTART + RLENGTH - 4) "///< " substr(s, RSTART + RLENGTH)
    }
    if (s ~ /^#endif  \/\/ METDB_[A-Z0-9_]+_H_$/) s = "/** @file */ " s
    if (groupStart[i]) s = "/**@{*/ " s
    if (groupEnd[i]) s = s " /**@}*/"
    print s
  }
}
