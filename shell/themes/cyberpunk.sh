# Cyberpunk: two lines in neon.  ╭─ ⚡user ~/dev ‹main›
#                                ╰─❯
if [ -n "${ZSH_VERSION-}" ]; then
    PROMPT='%F{8}╭─ %F{cyan}⚡%n %F{yellow}%~%F{magenta}$(__pk_git_segment " ‹" "›")%f'$'\n''%F{8}╰─%F{cyan}❯%f '
else
    PS1='\[\e[90m\]╭─ \[\e[36m\]⚡\u \[\e[33m\]\w\[\e[35m\]$(__pk_git_segment " ‹" "›")\[\e[0m\]\n\[\e[90m\]╰─\[\e[36m\]❯\[\e[0m\] '
fi
