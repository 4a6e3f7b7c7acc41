# Starship: folder, branch and a green chevron.  ~/dev on main ❯
if [ -n "${ZSH_VERSION-}" ]; then
    PROMPT='%F{cyan}%~%f$(__pk_git_segment " %F{8}on%f %F{magenta}" "%f") %F{green}❯%f '
else
    PS1='\[\e[36m\]\w\[\e[0m\]$(__pk_git_segment " on " "")\[\e[32m\] ❯\[\e[0m\] '
fi
