# Powerline: coloured bars between user, folder and branch.  ▌user▌~/dev▌main▌
if [ -n "${ZSH_VERSION-}" ]; then
    PROMPT='%F{green}▌%f%n%F{yellow}▌%f%~$(__pk_git_segment "%F{blue}▌%f" "")%F{8}▌%f '
else
    PS1='\[\e[32m\]▌\[\e[0m\]\u\[\e[33m\]▌\[\e[0m\]\w\[\e[34m\]$(__pk_git_segment "▌" "")\[\e[0m\]\[\e[90m\]▌\[\e[0m\] '
fi
