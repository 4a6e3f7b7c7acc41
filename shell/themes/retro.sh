# Retro: the classic bracketed prompt in terminal green.  [user@pk ~/dev (main)]$
if [ -n "${ZSH_VERSION-}" ]; then
    PROMPT='%F{green}[%n@%m %~%F{yellow}$(__pk_git_segment " (" ")")%F{green}]$%f '
else
    PS1='\[\e[32m\][\u@\h \w\[\e[33m\]$(__pk_git_segment " (" ")")\[\e[32m\]]$\[\e[0m\] '
fi
