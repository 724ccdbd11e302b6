#include "app/application.h"

int main(int argc, char *argv[]) {
    return vellumo::runApplication(argc, argv);
}
