# Lambda: a lambda, the folder, the branch and an arrow.  λ ~/dev [main] →
if [ -n "${ZSH_VERSION-}" ]; then
    PROMPT='%F{magenta}λ%F{cyan} %~%F{green}$(__pk_git_segment " [" "]")%F{magenta} →%f '
else
    PS1='\[\e[35m\]λ\[\e[36m\] \w\[\e[32m\]$(__pk_git_segment " [" "]")\[\e[35m\] →\[\e[0m\] '
fi
