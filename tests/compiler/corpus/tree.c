/* tree */
struct tnode {
    int key;
    struct tnode *left, *right;
};

static struct tnode nodes[32];
static int count;

struct tnode *insert(struct tnode *t, int key)
{
    if (!t) {
        t = &nodes[count++];
        t->key = key;
        t->left = t->right = 0;
    } else if (key < t->key)
        t->left = insert(t->left, key);
    else
        t->right = insert(t->right, key);
    return t;
}

int depth(struct tnode *t)
{
    int l, r;
    if (!t)
        return 0;
    l = depth(t->left);
    r = depth(t->right);
    return 1 + (l > r ? l : r);
}

int main(void)
{
    struct tnode *root = 0;
    int i;
    for (i = 0; i < 10; i++)
        root = insert(root, (i * 7) % 10);
    return depth(root);
}
