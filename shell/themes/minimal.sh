# Minimal: the last folder name and an arrow.  dev ❯
if [ -n "${ZSH_VERSION-}" ]; then
    PROMPT='%F{blue}%1~%f ❯ '
else
    PS1='\[\e[34m\]\W\[\e[0m\] ❯ '
fi
