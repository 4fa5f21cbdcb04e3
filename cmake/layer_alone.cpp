// Linked with one layer's library whole and the layers below it: building
// this proves the layer calls nothing above it.
int main() {
    return 0;
}
