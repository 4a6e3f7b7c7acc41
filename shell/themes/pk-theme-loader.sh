# Dunmar prompt themes: sourced by an interactive bash or zsh to switch its prompt to the theme
# named in PK_PROMPT_THEME ("default" when unset or unknown). Other shells are left as they are.
# The themes live beside this file, one script per theme.

if [ -n "${ZSH_VERSION-}" ]; then
    # zsh names the file being sourced through the %x prompt escape; kept in eval so that bash
    # never parses the zsh-only expansion.
    eval '__pk_theme_self=${(%):-%x}'
elif [ -n "${BASH_VERSION-}" ]; then
    __pk_theme_self=${BASH_SOURCE[0]}
else
    __pk_theme_self=
fi

if [ -n "$__pk_theme_self" ]; then
    case "$__pk_theme_self" in
        */*) __pk_theme_dir=${__pk_theme_self%/*} ;;
        *) __pk_theme_dir=. ;;
    esac

    # Only the known names: the variable comes from the environment and must never pick a file.
    case "${PK_PROMPT_THEME-}" in
        default | cyberpunk | minimal | powerline | retro | lambda | starship)
            __pk_theme_name=$PK_PROMPT_THEME ;;
        *) __pk_theme_name=default ;;
    esac

    # The current branch, or the short commit when detached; nothing outside a repository.
    __pk_git_branch() {
        command git symbolic-ref --quiet --short HEAD 2>/dev/null ||
            command git rev-parse --short HEAD 2>/dev/null
    }

    # Prints "<before><branch><after>" inside a repository, nothing elsewhere. Runs each time the
    # prompt is drawn; the branch name is printed as text, never expanded again.
    __pk_git_segment() {
        local branch
        branch=$(__pk_git_branch) || return 0
        [ -n "$branch" ] || return 0
        if [ -n "${ZSH_VERSION-}" ]; then
            branch=${branch//\%/%%}
        fi
        printf '%s%s%s' "$1" "$branch" "$2"
    }

    if [ -n "${ZSH_VERSION-}" ]; then
        setopt PROMPT_SUBST PROMPT_PERCENT
        RPROMPT=
    else
        shopt -s promptvars
    fi

    . "$__pk_theme_dir/$__pk_theme_name.sh"
    unset __pk_theme_dir __pk_theme_name
fi
unset __pk_theme_self
