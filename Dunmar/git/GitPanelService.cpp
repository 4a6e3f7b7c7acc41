#include "git/GitPanelService.h"

#include "git/GitHubClient.h"
#include "git/GitHubKeychainStore.h"

void GitPanelService::deleteCodeHostingToken() {
    GitHubKeychainStore::deleteKey(GitHubClient::tokenKey());
}
