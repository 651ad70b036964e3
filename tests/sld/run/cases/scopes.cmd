scopes break scopes:8 run run print x next next print x next print x next next print x next next print x next print x
