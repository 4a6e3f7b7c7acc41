# Default: the working folder and a percent sign.  ~ %
if [ -n "${ZSH_VERSION-}" ]; then
    PROMPT='%~ %# '
else
    PS1='\w % '
fi
